// The game's own generator against the C library's: on glibc both must give the same numbers.
#include "engine/graphics/random.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

// Draws count numbers from both generators after the same seed and reports the first difference.
void Expect_Same_Sequence(unsigned seed, int count) {
    srand(seed);
    Seed_Rand(seed);
    for (int i = 0; i < count; ++i) {
        int want = rand();
        int got = Rand();
        ASSERT_EQ(got, want) << "seed " << seed << ", draw " << i;
    }
}

TEST(Random, MatchesTheCLibraryForEdgeAndOrdinarySeeds) {
    for (unsigned seed : {0u, 1u, 2u, 12345u, 0x7FFFFFFFu, 0x80000000u, UINT_MAX - 1, UINT_MAX})
        Expect_Same_Sequence(seed, 10000);
}

TEST(Random, MatchesTheCLibraryForClockLikeSeeds) {
    // The game seeds from the millisecond clock; the headless clock starts at the seed.
    for (unsigned seed = 1000; seed < 1000 + 64 * 977; seed += 977)
        Expect_Same_Sequence(seed, 500);
}

TEST(Random, SeedZeroActsAsOneAndStaysInRange) {
    Seed_Rand(0);
    int a = Rand();
    Seed_Rand(1);
    EXPECT_EQ(Rand(), a);
    Seed_Rand(99);
    for (int i = 0; i < 100000; ++i) {
        int v = Rand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, RAND_LIMIT);
    }
}

TEST(Random, ReseedingRestartsTheSequence) {
    Seed_Rand(7);
    int first[5];
    for (int &v : first)
        v = Rand();
    for (int i = 0; i < 1234; ++i)
        Rand();
    Seed_Rand(7);
    for (int v : first)
        EXPECT_EQ(Rand(), v);
}

} // namespace
