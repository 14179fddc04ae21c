// The additive-feedback generator: r[i] = r[i-3] + r[i-31] (mod 2^32), returning r[i] >> 1.
// Seeding fills 31 words with the Lehmer sequence 16807^n * seed mod (2^31 - 1) and throws the
// first 310 results away, exactly as glibc's random_r does for its default TYPE_3 state.
#include "engine/graphics/random.h"

#include <cstdint>

namespace {
constexpr int DEG = 31; // words of state
constexpr int SEP = 3;  // distance between the two taps

uint32_t state[DEG];
unsigned last_seed = 1;
int seed_forced = 0;
unsigned forced_seed = 0;
int front = SEP; // the tap that is written
int rear = 0;    // the tap that is only read

uint32_t Next_Word() {
    state[front] += state[rear];
    uint32_t result = state[front] >> 1;
    front = front + 1 == DEG ? 0 : front + 1;
    rear = rear + 1 == DEG ? 0 : rear + 1;
    return result;
}

// A process that never seeds gets glibc's default sequence, the one srand(1) gives.
struct Default_Seed {
    Default_Seed() { Seed_Rand(1); }
} default_seed;
} // namespace

void Seed_Rand(unsigned seed) {
    if (seed_forced)
        seed = forced_seed;
    last_seed = seed;
    if (seed == 0)
        seed = 1;
    state[0] = seed;
    // Schrage's method keeps 16807 * word mod (2^31 - 1) inside 32 signed bits, as glibc does;
    // a negative word is taken as its two's-complement bits.
    int32_t word = static_cast<int32_t>(seed);
    for (int i = 1; i < DEG; ++i) {
        int32_t hi = word / 127773;
        int32_t lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0)
            word += 2147483647;
        state[i] = static_cast<uint32_t>(word);
    }
    front = SEP;
    rear = 0;
    for (int i = 0; i < 10 * DEG; ++i)
        Next_Word();
}

unsigned Rand_Last_Seed() { return last_seed; }

void Rand_Force_Seed(int on, unsigned seed) {
    seed_forced = on != 0;
    forced_seed = seed;
}

int Rand() { return static_cast<int>(Next_Word()); }
