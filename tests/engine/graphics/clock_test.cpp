// The frame clock on the headless backend's virtual clock, the shrunk-box collision test and
// the error log.
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>
#include "engine/graphics/clock.h"
#include "platform/headless/headless.h"

TEST(Clock, StartRemembersTheCount) {
    Headless_Reset(5000);
    EXPECT_EQ(Get_Clock(), 5000u);
    EXPECT_EQ(Start_Clock(), 5000u);
    EXPECT_EQ(start_clock_count, 5000u);
}

TEST(Clock, WaitNeverEndsEarly) {
    Headless_Reset(5000);
    Start_Clock();
    const unsigned long end = Wait_Clock(30);
    EXPECT_GE(end - 5000, 30u);
    EXPECT_EQ(end, Get_Clock());
    // Frames in a row: each starts where the last one ended and lasts its 30 ms.
    for (int frame = 0; frame < 100; frame++) {
        const unsigned long start = Start_Clock();
        Headless_Set_Clock((uint32_t)(start + frame % 7)); // some work in the frame
        const unsigned long stop = Wait_Clock(30);
        ASSERT_GE(stop - start, 30u);
    }
}

TEST(Clock, WaitZeroOrOverdueReturnsAtOnce) {
    Headless_Reset(7000);
    Start_Clock();
    EXPECT_EQ(Wait_Clock(0), 7000u);
    // A frame that already took longer than its time does not wait any more.
    Headless_Set_Clock(7100);
    EXPECT_EQ(Wait_Clock(30), 7100u);
}

TEST(Clock, WaitAcrossTheWrapOfTheTickCount) {
    Headless_Reset(0xFFFFFFF0u);
    Start_Clock();
    const unsigned long end = Wait_Clock(30);
    // 16 ms before the wrap and 14 after it.
    EXPECT_LT(end, 0x100u);
    EXPECT_GE((uint32_t)(end - 0xFFFFFFF0u), 30u);
    // Started just before the wrap, already 40 ms in, past the wrap: done.
    Headless_Reset(0xFFFFFFFFu);
    Start_Clock();
    Headless_Set_Clock(39);
    EXPECT_EQ(Wait_Clock(30), 39u);
}

TEST(Clock, VeryLongWaitsStillEnd) {
    // More than half the counter's range ahead still reads as ahead, not as already passed.
    Headless_Reset(100);
    Start_Clock();
    const unsigned long end = Wait_Clock(0xC0000000ul);
    EXPECT_EQ((uint32_t)(end - 100), 0xC0000000u);
}

TEST(Collision, ShrunkBoxes) {
    // Width 32: half 16 - 4 = 12 each; centres 23 apart collide, 24 do not.
    EXPECT_EQ(Collision_Test(0, 0, 32, 32, 23, 0, 32, 32), 1);
    EXPECT_EQ(Collision_Test(0, 0, 32, 32, 24, 0, 32, 32), 0);
    EXPECT_EQ(Collision_Test(23, 0, 32, 32, 0, 0, 32, 32), 1);
    EXPECT_EQ(Collision_Test(0, 24, 32, 32, 0, 0, 32, 32), 0);
    // 8 x 8: half 4 - 1 = 3, so corners must be less than 6 apart on both axes.
    EXPECT_EQ(Collision_Test(0, 0, 8, 8, 5, 5, 8, 8), 1);
    EXPECT_EQ(Collision_Test(0, 0, 8, 8, 6, 0, 8, 8), 0);
    EXPECT_EQ(Collision_Test(0, 0, 8, 8, 0, -6, 8, 8), 0);
    EXPECT_EQ(Collision_Test(0, 0, 8, 8, -5, -5, 8, 8), 1);
    // Width 1 has half 0: two such boxes never collide, even on the same spot.
    EXPECT_EQ(Collision_Test(0, 0, 1, 1, 0, 0, 1, 1), 0);
    // ...but a 1 x 1 point inside a 32 x 32 box does: centres (12, 12) and (5, 5), 7 < 12.
    EXPECT_EQ(Collision_Test(0, 0, 32, 32, 5, 5, 1, 1), 1);
    // Mixed sizes: 15 wide has half 7 - 1 = 6, 9 high has 4 - 1 = 3.
    // Centres (6, 3) and (11 + 12, 12): dx 17 < 6 + 12, dy 9 < 3 + 12.
    EXPECT_EQ(Collision_Test(0, 0, 15, 9, 11, 0, 32, 32), 1);
    // dx 18 = 6 + 12: touching only.
    EXPECT_EQ(Collision_Test(0, 0, 15, 9, 12, 0, 32, 32), 0);
}

TEST(Collision, NegativeAndFarCoordinates) {
    EXPECT_EQ(Collision_Test(-100, -100, 32, 32, -90, -120, 32, 32), 1);
    EXPECT_EQ(Collision_Test(INT_MIN, 0, 32, 32, INT_MAX - 40, 0, 32, 32), 0);
    EXPECT_EQ(
        Collision_Test(INT_MAX - 31, INT_MAX - 31, 32, 32, INT_MAX - 31, INT_MAX - 31, 32, 32), 1);
}

namespace {

// The whole text of a file.
std::string Slurp(const char *path) {
    std::string text;
    FILE *fp = fopen(path, "r");
    if (!fp) return text;
    for (int c; (c = fgetc(fp)) != EOF;)
        text += (char)c;
    fclose(fp);
    return text;
}

std::string Temp_Path(const char *stem) {
    char path[64];
    snprintf(path, sizeof path, "/tmp/%sXXXXXX", stem);
    int fd = mkstemp(path);
    if (fd >= 0) close(fd);
    return path;
}

} // namespace

TEST(ErrorLog, ClosedLogWritesNothing) {
    Close_Error_File();
    EXPECT_EQ(Write_Error("\nCreate BOB %d", 4), 0);
    EXPECT_EQ(Close_Error_File(), 0);
    EXPECT_EQ(error_file, nullptr);
}

TEST(ErrorLog, OpenWriteClose) {
    const std::string path = Temp_Path("fw_log");
    ASSERT_EQ(Open_Error_File(path.c_str()), 1);
    EXPECT_NE(error_file, nullptr);
    EXPECT_EQ(Write_Error("\nCreate BOB %d", 4), 1);
    EXPECT_EQ(Write_Error(nullptr), 0);
    EXPECT_EQ(Write_Error("%s", "100% plain"), 1);
    EXPECT_EQ(Close_Error_File(), 1);
    EXPECT_EQ(error_file, nullptr);
    EXPECT_EQ(Slurp(path.c_str()), "\nOpening Error Output File (" + path + "):\n" +
                                       "\nCreate BOB 4100% plain\nClosing Error Output File.");
    remove(path.c_str());
}

TEST(ErrorLog, LongMessagesAreCutAt79Characters) {
    const std::string path = Temp_Path("fw_log");
    ASSERT_EQ(Open_Error_File(path.c_str()), 1);
    const std::string long_text(200, 'x');
    EXPECT_EQ(Write_Error("%s", long_text.c_str()), 1);
    Close_Error_File();
    EXPECT_EQ(Slurp(path.c_str()), "\nOpening Error Output File (" + path + "):\n" +
                                       std::string(79, 'x') + "\nClosing Error Output File.");
    remove(path.c_str());
}

TEST(ErrorLog, ReopeningClosesTheOldLogAndAFailedOpenKeepsIt) {
    const std::string first = Temp_Path("fw_log"), second = Temp_Path("fw_log");
    ASSERT_EQ(Open_Error_File(first.c_str()), 1);
    EXPECT_EQ(Open_Error_File("/nonexistent-dir/farwake.log"), 0);
    EXPECT_EQ(Write_Error("a"), 1); // still the first log
    ASSERT_EQ(Open_Error_File(second.c_str()), 1);
    EXPECT_EQ(Write_Error("b"), 1);
    Close_Error_File();
    EXPECT_EQ(Slurp(first.c_str()),
              "\nOpening Error Output File (" + first + "):\na\nClosing Error Output File.");
    EXPECT_EQ(Slurp(second.c_str()),
              "\nOpening Error Output File (" + second + "):\nb\nClosing Error Output File.");
    remove(first.c_str());
    remove(second.c_str());
    EXPECT_EQ(Open_Error_File(nullptr), 0);
}
