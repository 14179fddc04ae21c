// Replicating from ids that name no slot of the 256-slot table.
#include "tests/engine/sound/sound_fixture.h"
#include <cstring>

namespace {

using ReplicaIds = SoundTest;

TEST_F(ReplicaIds, IdsOutsideTheTableAreRefusedAndTakeNoSlot) {
    const Bytes samples = {140, 116, 128, 128};
    ASSERT_EQ(load(samples), 0);
    SOUND_SLOT_TYP before[MAX_SOUND_SLOTS];
    std::memcpy(before, sound_slots, sizeof(before));
    // -1 is the failed load's id; -2, 256 and beyond are no slot at all.
    for (int id : {-1, -2, -256, MAX_SOUND_SLOTS, MAX_SOUND_SLOTS + 1, 100000})
        EXPECT_EQ(DSound_Replicate_Sound(id), -1) << id;
    EXPECT_EQ(std::memcmp(before, sound_slots, sizeof(before)), 0);
    // The next replica of a real sound still takes slot 1, the lowest free one, and the last
    // id of the table is a valid source once it holds a sound.
    EXPECT_EQ(DSound_Replicate_Sound(0), 1);
    for (int i = 2; i < MAX_SOUND_SLOTS; ++i)
        ASSERT_EQ(DSound_Replicate_Sound(0), i);
    EXPECT_EQ(sound_slots[MAX_SOUND_SLOTS - 1].id, MAX_SOUND_SLOTS - 1);
    ASSERT_EQ(DSound_Delete_Sound(0), 1); // slot 0 keeps its state: the table stays full
    EXPECT_EQ(DSound_Replicate_Sound(MAX_SOUND_SLOTS - 1), -1);
}

} // namespace
