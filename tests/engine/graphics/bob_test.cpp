// Blitter objects on the software display: creation and padding, frame loading from cells,
// keyed and clipped drawing, animation rules, movement, collisions, and how byte copies share
// frames through destruction and the display's shut-down.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/graphics/bob.h"
#include "engine/graphics/clock.h"
#include "platform/headless/headless.h"

namespace {

// Opens the 800 x 600 display for each test and closes it afterwards.
class Bob : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
        dd_pixel_format = 15;
    }
    void TearDown() override { DDraw_Shutdown(); }
};

// A loaded 16-bit sheet whose pixel at (x, y) is 0x4000 + y * 256 + x (never the key 0).
struct Sheet {
    BITMAP_FILE_TAG bmp{};
    Sheet(int w, int h) {
        bmp.info_header.biWidth = w;
        bmp.info_header.biHeight = h;
        bmp.info_header.biBitCount = 16;
        USHORT *px = (USHORT *)std::malloc((size_t)w * h * 2);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                px[y * w + x] = (USHORT)(0x4000 + y * 256 + x);
        bmp.buffer = (UCHAR *)px;
    }
    ~Sheet() { Unload_Bitmap_File(&bmp); }
};

USHORT Frame_Px(LPDIRECTDRAWSURFACE4 s, int x, int y) {
    USHORT v;
    std::memcpy(&v, s->memory.data() + (size_t)y * s->pitch + 2 * x, 2);
    return v;
}

USHORT Back_Px(int x, int y) {
    return Frame_Px(lpddsback, x, y);
}

int Back_Changed() {
    int n = 0;
    for (int y = 0; y < lpddsback->height; y++)
        for (int x = 0; x < lpddsback->width; x++)
            n += Back_Px(x, y) != 0;
    return n;
}

// Fills frame f of bob with one colour, pixel (0, 0) excepted when hole is set (left at key 0).
void Paint_Frame(BOB_TYP *bob, int f, USHORT color, bool hole = false) {
    LPDIRECTDRAWSURFACE4 s = bob->frames[f];
    for (int y = 0; y < s->height; y++)
        for (int x = 0; x < s->width; x++) {
            USHORT v = (hole && x == 0 && y == 0) ? 0 : color;
            std::memcpy(s->memory.data() + (size_t)y * s->pitch + 2 * x, &v, 2);
        }
}

} // namespace

TEST_F(Bob, CreateSetsTheRecordAndPadsFramesToEightPixels) {
    BOB_TYP bob;
    std::memset(&bob, 0x5A, sizeof bob);
    ASSERT_EQ(Create_BOB(&bob, 10, 20, 36, 30, 3, 0x12, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    EXPECT_EQ(bob.state, 1);
    EXPECT_EQ(bob.anim_state, 0);
    EXPECT_EQ(bob.attr, 0x12);
    EXPECT_EQ(bob.x, 10);
    EXPECT_EQ(bob.y, 20);
    EXPECT_EQ(bob.xv, 0);
    EXPECT_EQ(bob.yv, 0);
    EXPECT_EQ(bob.width_pad, 4);
    EXPECT_EQ(bob.num_frames, 3);
    EXPECT_EQ(bob.bpp, 16);
    EXPECT_EQ(bob.counter_1 | bob.counter_2 | bob.counter_3 | bob.counter_4, 0);
    EXPECT_EQ(bob.curr_frame | bob.curr_anim | bob.anim_counter | bob.anim_pos | bob.anim_speed, 0);
    for (int i = 0; i < 3; i++) {
        ASSERT_NE(bob.frames[i], nullptr);
        EXPECT_EQ(bob.frames[i]->width, 40);
        EXPECT_EQ(bob.frames[i]->height, 30);
        EXPECT_EQ(bob.frames[i]->color_key, 0);
    }
    for (int i = 3; i < MAX_BOB_FRAMES; i++)
        EXPECT_EQ(bob.frames[i], nullptr);
    for (int i = 0; i < MAX_BOB_ANIMATIONS; i++)
        EXPECT_EQ(bob.anims[i], nullptr);

    BOB_TYP b24{}, b13{};
    ASSERT_EQ(Create_BOB(&b24, 0, 0, 24, 4, 1, 0x11, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    EXPECT_EQ(b24.width_pad, 0);
    ASSERT_EQ(Create_BOB(&b13, 0, 0, 13, 4, 1, 0x11, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    EXPECT_EQ(b13.width_pad, 3);
    EXPECT_EQ(b13.frames[0]->width, 16);
}

TEST_F(Bob, CreateRefusesWhatCannotBeHeld) {
    BOB_TYP bob{};
    EXPECT_EQ(Create_BOB(&bob, 0, 0, 8, 8, 65, 0x12, 0, 0, 16), 0); // 64 slots only
    EXPECT_EQ(bob.num_frames, 64);
    EXPECT_NE(bob.frames[63], nullptr);
    EXPECT_EQ(Create_BOB(&bob, 0, 0, 0, 8, 1, 0x12, 0, 0, 16), 0);
    EXPECT_EQ(bob.frames[0], nullptr);
    EXPECT_EQ(Create_BOB(nullptr, 0, 0, 8, 8, 1, 0x12, 0, 0, 16), 0);
    DDraw_Shutdown();
    EXPECT_EQ(Create_BOB(&bob, 0, 0, 8, 8, 1, 0x12, 0, 0, 16), 0); // no display
}

TEST_F(Bob, LoadFrameFromCellsAndAbsolutePositions) {
    Sheet sheet(3 * 37 + 1, 2 * 31 + 1);
    BOB_TYP bob{};
    ASSERT_EQ(Create_BOB(&bob, 0, 0, 36, 30, 3, 0x12, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    // Cell (2, 0) of 36-pixel cells starts at column 75, row 1.
    ASSERT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 2, 2, 0, EXTRACT_CELL), 1);
    EXPECT_TRUE(bob.attr & BOB_ATTR_LOADED);
    EXPECT_EQ(Frame_Px(bob.frames[2], 0, 0), 0x4000 + 1 * 256 + 75);
    EXPECT_EQ(Frame_Px(bob.frames[2], 35, 29), 0x4000 + 30 * 256 + 110);
    // Cell (1, 1): column 38, row 32.
    ASSERT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 1, 1, EXTRACT_CELL), 1);
    EXPECT_EQ(Frame_Px(bob.frames[0], 0, 0), 0x4000 + 32 * 256 + 38);
    ASSERT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 1, 5, 7, EXTRACT_ABSOLUTE), 1);
    EXPECT_EQ(Frame_Px(bob.frames[1], 2, 3), 0x4000 + 10 * 256 + 7);
    // The pad columns are never drawn; the loader leaves them at the key.
    EXPECT_EQ(Frame_Px(bob.frames[1], 36, 0), 0);
    EXPECT_EQ(Frame_Px(bob.frames[1], 39, 29), 0);
}

TEST_F(Bob, LoadFrameRefusesBadFramesAndCells) {
    Sheet sheet(112, 63);
    BOB_TYP bob{};
    ASSERT_EQ(Create_BOB(&bob, 0, 0, 36, 30, 2, 0x12, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 2, 0, 0, EXTRACT_CELL), 0); // not created
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, -1, 0, 0, EXTRACT_CELL), 0);
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 64, 0, 0, EXTRACT_CELL), 0);
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 3, 0, EXTRACT_CELL), 0); // columns 112..147
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 0, 2, EXTRACT_CELL), 0);
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 77, 0, EXTRACT_ABSOLUTE), 0);
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 0, -1, EXTRACT_ABSOLUTE), 0);
    EXPECT_EQ(Load_Frame_BOB16(&bob, nullptr, 0, 0, 0, EXTRACT_CELL), 0);
    EXPECT_EQ(Load_Frame_BOB16(nullptr, &sheet.bmp, 0, 0, 0, EXTRACT_CELL), 0);
    EXPECT_EQ(bob.attr & BOB_ATTR_LOADED, 0);
    EXPECT_EQ(Frame_Px(bob.frames[0], 0, 0), 0);
    // The sheet must hold 16-bit pixels for the 16-bit loader, 8-bit ones for the 8-bit loader.
    EXPECT_EQ(Load_Frame_BOB8(&bob, &sheet.bmp, 0, 0, 0, EXTRACT_CELL), 0);
    sheet.bmp.info_header.biBitCount = 8;
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 0, 0, EXTRACT_CELL), 0);
    EXPECT_EQ(Load_Frame_BOB8(&bob, &sheet.bmp, 0, 76, 0, EXTRACT_ABSOLUTE), 1);
    // 8-bit frames are packed width + width_pad bytes a row: byte 40 is row 1, column 0.
    const UCHAR *m = bob.frames[0]->memory.data();
    const UCHAR *src = sheet.bmp.buffer; // the same bytes read as an 8-bit sheet of width 112
    EXPECT_EQ(m[0], src[76]);
    EXPECT_EQ(m[40], src[112 + 76]);
}

TEST_F(Bob, DrawIsKeyedAndClipped) {
    BOB_TYP bob{};
    ASSERT_EQ(Create_BOB(&bob, 100, 50, 30, 20, 1, 0x11, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    Paint_Frame(&bob, 0, 0x1234, true);
    ASSERT_EQ(Draw_BOB16(&bob, lpddsback), 1);
    EXPECT_EQ(Back_Px(100, 50), 0); // the key pixel leaves the destination alone
    EXPECT_EQ(Back_Px(101, 50), 0x1234);
    EXPECT_EQ(Back_Px(129, 69), 0x1234);
    EXPECT_EQ(Back_Px(130, 50), 0); // the pad columns are not drawn
    EXPECT_EQ(Back_Changed(), 30 * 20 - 1);

    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    Set_Position_BOB(&bob, -20, 590); // only the right part, top rows show
    ASSERT_EQ(Draw_BOB(&bob, lpddsback), 1);
    EXPECT_EQ(Back_Px(0, 590), 0x1234);
    EXPECT_EQ(Back_Px(9, 599), 0x1234);
    EXPECT_EQ(Back_Changed(), 10 * 10);

    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    Hide_BOB(&bob);
    EXPECT_EQ(bob.attr, 0x01);
    EXPECT_EQ(Draw_BOB16(&bob, lpddsback), 1);
    EXPECT_EQ(Back_Changed(), 0);
    Show_BOB(&bob);
    EXPECT_EQ(bob.attr, 0x11);
    EXPECT_EQ(Draw_BOB16(nullptr, lpddsback), 0);
    bob.curr_frame = 1; // never created
    EXPECT_EQ(Draw_BOB16(&bob, lpddsback), 0);
    bob.curr_frame = -1;
    EXPECT_EQ(Draw_BOB16(&bob, lpddsback), 0);
    EXPECT_EQ(Back_Changed(), 0);
}

TEST_F(Bob, StretchedDrawScalesTheFrame) {
    BOB_TYP bob{};
    ASSERT_EQ(Create_BOB(&bob, 10, 10, 2, 2, 1, 0x11, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    Paint_Frame(&bob, 0, 0x0F0F);
    ASSERT_EQ(Draw_Stretched_BOB16(&bob, 6, 4, lpddsback), 1);
    EXPECT_EQ(Back_Px(10, 10), 0x0F0F);
    EXPECT_EQ(Back_Px(15, 13), 0x0F0F);
    EXPECT_EQ(Back_Changed(), 24);
    ASSERT_EQ(Draw_Stretched_BOB(&bob, 8, 8, lpddsback), 1);
    EXPECT_EQ(Back_Changed(), 64);
}

TEST(BobAnimation, MultiFrameCyclesAtItsSpeed) {
    BOB_TYP bob{};
    bob.attr = BOB_ATTR_MULTI_FRAME;
    bob.num_frames = 4;
    Set_Anim_Speed_BOB(&bob, 1);
    int seen[5];
    for (int &s : seen) {
        Animate_BOB(&bob);
        s = bob.curr_frame;
    }
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[1], 2);
    EXPECT_EQ(seen[2], 3);
    EXPECT_EQ(seen[3], 0);
    EXPECT_EQ(seen[4], 1);

    BOB_TYP slow{};
    slow.attr = BOB_ATTR_MULTI_FRAME;
    slow.num_frames = 4;
    Set_Anim_Speed_BOB(&slow, 3);
    const int want[7] = {0, 0, 1, 1, 1, 2, 2};
    for (int i = 0; i < 7; i++) {
        Animate_BOB(&slow);
        EXPECT_EQ(slow.curr_frame, want[i]) << "call " << i + 1;
    }
}

TEST(BobAnimation, SingleFrameAndNoAnimationAttributes) {
    BOB_TYP bob{};
    bob.attr = BOB_ATTR_SINGLE_FRAME | BOB_ATTR_MULTI_FRAME;
    bob.curr_frame = 3;
    EXPECT_EQ(Animate_BOB(&bob), 1);
    EXPECT_EQ(bob.curr_frame, 0); // the first matching attribute decides
    bob.attr = BOB_ATTR_VISIBLE;
    bob.curr_frame = 2;
    EXPECT_EQ(Animate_BOB(&bob), 1);
    EXPECT_EQ(bob.curr_frame, 2);
    EXPECT_EQ(bob.anim_counter, 0);
    EXPECT_EQ(Animate_BOB(nullptr), 0);
}

TEST(BobAnimation, OneShotSequenceStopsOnItsLastFrame) {
    BOB_TYP bob{};
    bob.attr = BOB_ATTR_MULTI_ANIM | BOB_ATTR_ANIM_ONE_SHOT;
    int seq[4] = {3, 2, 1, 0};
    ASSERT_EQ(Load_Animation_BOB(&bob, 1, 4, seq), 1);
    seq[0] = 9; // the record keeps its own copy
    EXPECT_EQ(bob.anims[1][0], 3);
    EXPECT_EQ(bob.anims[1][4], -1);
    bob.curr_frame = 3;
    bob.anim_counter = 5;
    Set_Animation_BOB(&bob, 1);
    EXPECT_EQ(bob.curr_frame, 3);
    EXPECT_EQ(bob.anim_counter, 5);
    Set_Anim_Speed_BOB(&bob, 1);
    const int want[6] = {2, 1, 0, 0, 0, 0};
    for (int i = 0; i < 6; i++) {
        Animate_BOB(&bob);
        EXPECT_EQ(bob.curr_frame, want[i]) << "call " << i + 1;
        EXPECT_EQ(bob.anim_state, i >= 3 ? BOB_STATE_ANIM_DONE : 0) << "call " << i + 1;
    }
    EXPECT_EQ(bob.anim_pos, 3);
    Destroy_BOB(&bob); // attr non-zero: the sequence is forgotten, kept by the module
}

TEST(BobAnimation, LoopingSequenceWrapsToElementZero) {
    BOB_TYP bob{};
    bob.attr = BOB_ATTR_MULTI_ANIM;
    int seq[4] = {0, 1, 2, 3};
    ASSERT_EQ(Load_Animation_BOB(&bob, 0, 4, seq), 1);
    Set_Animation_BOB(&bob, 0);
    Set_Anim_Speed_BOB(&bob, 0);
    const int want[6] = {1, 2, 3, 0, 1, 2};
    for (int i = 0; i < 6; i++) {
        Animate_BOB(&bob);
        EXPECT_EQ(bob.curr_frame, want[i]) << "call " << i + 1;
    }
    EXPECT_EQ(bob.anim_state, 0);
    // A position the game set beyond the sequence restarts it rather than reading past it.
    bob.anim_pos = 40;
    Animate_BOB(&bob);
    EXPECT_EQ(bob.curr_frame, 0);
    EXPECT_EQ(bob.anim_pos, 0);
    bob.attr = 0;
    Destroy_BOB(&bob); // attr 0: frees the sequence
    bob.attr = BOB_ATTR_MULTI_ANIM;
    EXPECT_EQ(Animate_BOB(&bob), 0); // its sequence is gone: nothing is read
}

TEST(BobAnimation, SequenceSlotsAndArgumentsAreChecked) {
    BOB_TYP bob{};
    int seq[2] = {0, 1};
    EXPECT_EQ(Load_Animation_BOB(&bob, 16, 2, seq), 0);
    EXPECT_EQ(Load_Animation_BOB(&bob, -1, 2, seq), 0);
    EXPECT_EQ(Load_Animation_BOB(&bob, 0, -1, seq), 0);
    EXPECT_EQ(Load_Animation_BOB(&bob, 0, 2, nullptr), 0);
    EXPECT_EQ(Load_Animation_BOB(nullptr, 0, 2, seq), 0);
    for (int *a : bob.anims)
        EXPECT_EQ(a, nullptr);
    bob.attr = BOB_ATTR_MULTI_ANIM;
    bob.curr_anim = 20;
    EXPECT_EQ(Animate_BOB(&bob), 0);
    bob.curr_anim = 2; // empty slot
    EXPECT_EQ(Animate_BOB(&bob), 0);
    // An empty sequence holds only the end marker: the frame becomes -1 and is never drawn.
    ASSERT_EQ(Load_Animation_BOB(&bob, 2, 0, nullptr), 1);
    Set_Animation_BOB(&bob, 2);
    EXPECT_EQ(Animate_BOB(&bob), 1);
    EXPECT_EQ(bob.curr_frame, -1);
    EXPECT_EQ(bob.anim_pos, 0);
}

TEST(BobMotion, MoveWrapsAndBounces) {
    int saved[4] = {min_clip_x, max_clip_x, min_clip_y, max_clip_y};
    min_clip_x = 0, max_clip_x = 799, min_clip_y = 0, max_clip_y = 599;
    BOB_TYP bob{};
    bob.width = 20;
    bob.height = 10;
    bob.attr = BOB_ATTR_WRAPAROUND | BOB_ATTR_BOUNCE;
    Set_Position_BOB(&bob, 795, 595);
    Set_Velocity_BOB(&bob, 10, 5);
    Move_BOB(&bob);
    EXPECT_EQ(bob.x, -20); // 805 > 799: to the far side, wrap taking precedence
    EXPECT_EQ(bob.y, -10); // 600 > 599
    EXPECT_EQ(bob.xv, 10);
    Set_Position_BOB(&bob, -15, -5);
    Set_Velocity_BOB(&bob, -10, -5);
    Move_BOB(&bob);
    EXPECT_EQ(bob.x, 799); // -25 < -20
    EXPECT_EQ(bob.y, -10); // -10 is not below -10
    Move_BOB(&bob);
    EXPECT_EQ(bob.y, 599);

    bob.attr = BOB_ATTR_BOUNCE;
    Set_Position_BOB(&bob, 775, 300);
    Set_Velocity_BOB(&bob, 5, 1);
    Move_BOB(&bob);
    EXPECT_EQ(bob.x, 780); // 780 > 779: turns, position kept
    EXPECT_EQ(bob.xv, -5);
    EXPECT_EQ(bob.yv, 1);
    Set_Position_BOB(&bob, 2, 1);
    Set_Velocity_BOB(&bob, -3, -2);
    Move_BOB(&bob);
    EXPECT_EQ(bob.x, -1);
    EXPECT_EQ(bob.xv, 3);
    EXPECT_EQ(bob.yv, 2);

    bob.attr = 0;
    Set_Position_BOB(&bob, 799, 0);
    Set_Velocity_BOB(&bob, 50, -50);
    Move_BOB(&bob);
    EXPECT_EQ(bob.x, 849);
    EXPECT_EQ(bob.y, -50);
    EXPECT_EQ(Move_BOB(nullptr), 0);
    min_clip_x = saved[0], max_clip_x = saved[1], min_clip_y = saved[2], max_clip_y = saved[3];
}

TEST(BobMotion, CollisionUsesThreeQuarterBoxes) {
    BOB_TYP a{}, b{};
    a.width = a.height = b.width = b.height = 32;
    b.x = 23;
    EXPECT_EQ(Collision_Test_BOB(&a, &b), 1);
    b.x = 24; // centres 24 apart, half-sizes 12 + 12: touching is no collision
    EXPECT_EQ(Collision_Test_BOB(&a, &b), 0);
    b.x = -23;
    b.y = 23;
    EXPECT_EQ(Collision_Test_BOB(&a, &b), 1);
    b.y = -24;
    EXPECT_EQ(Collision_Test_BOB(&a, &b), 0);
    EXPECT_EQ(Collision_Test_BOB(&a, nullptr), 0);
    EXPECT_EQ(Collision_Test_BOB(nullptr, &b), 0);
    EXPECT_EQ(Set_Position_BOB(nullptr, 1, 1), 0);
    EXPECT_EQ(Set_Velocity_BOB(nullptr, 1, 1), 0);
    EXPECT_EQ(Hide_BOB(nullptr), 0);
    EXPECT_EQ(Show_BOB(nullptr), 0);
    EXPECT_EQ(Set_Animation_BOB(nullptr, 0), 0);
    EXPECT_EQ(Set_Anim_Speed_BOB(nullptr, 0), 0);
    EXPECT_EQ(Destroy_BOB(nullptr), 0);
}

TEST_F(Bob, ByteCopiesShareFramesThroughDestruction) {
    BOB_TYP first{};
    ASSERT_EQ(Create_BOB(&first, 0, 0, 8, 8, 2, 0x12, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    Paint_Frame(&first, 0, 0x0101);
    int seq[2] = {0, 1};
    ASSERT_EQ(Load_Animation_BOB(&first, 0, 2, seq), 1);
    BOB_TYP pool[3];
    for (auto &p : pool)
        p = first; // as the game fills its pools
    EXPECT_EQ(pool[2].frames[0], first.frames[0]);
    ASSERT_EQ(Destroy_BOB(&first), 1);
    for (auto *f : first.frames)
        EXPECT_EQ(f, nullptr);
    for (auto *a : first.anims)
        EXPECT_EQ(a, nullptr);
    // The copies still draw from the shared surfaces.
    Set_Position_BOB(&pool[1], 40, 40);
    ASSERT_EQ(Draw_BOB16(&pool[1], lpddsback), 1);
    EXPECT_EQ(Back_Px(47, 47), 0x0101);
    for (auto &p : pool)
        EXPECT_EQ(Destroy_BOB(&p), 1);
    // The display's shut-down (TearDown) releases the surfaces; LeakSanitizer checks the rest.
}

TEST_F(Bob, OwnRecordsReleaseOnceAndCopiesThenHoldNothing) {
    BOB_TYP own{};
    ASSERT_EQ(Create_BOB(&own, 0, 0, 8, 8, 2, 0x12, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    int seq[1] = {1};
    ASSERT_EQ(Load_Animation_BOB(&own, 3, 1, seq), 1);
    own.attr = 0;
    BOB_TYP copy = own;
    LPDIRECTDRAWSURFACE4 f0 = own.frames[0];
    ASSERT_EQ(Destroy_BOB(&own), 1);
    EXPECT_EQ(own.frames[0], f0);     // pointers keep their values
    ASSERT_EQ(Destroy_BOB(&copy), 1); // no second release of the same surfaces or sequence
    copy.attr = BOB_ATTR_VISIBLE;
    EXPECT_EQ(Draw_BOB16(&copy, lpddsback), 0); // its frame is gone: nothing is read
    EXPECT_EQ(Back_Changed(), 0);
}

TEST_F(Bob, DuplicateCopiesAndMarks) {
    BOB_TYP a{}, b{};
    ASSERT_EQ(Create_BOB(&a, 3, 4, 8, 8, 1, 0x12, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    a.int_vars[5] = 77;
    EXPECT_EQ(Duplicate_BOB(&a, &a), 0);
    EXPECT_EQ(Duplicate_BOB(nullptr, &b), 0);
    EXPECT_EQ(Duplicate_BOB(&a, nullptr), 0);
    ASSERT_EQ(Duplicate_BOB(&a, &b), 1);
    EXPECT_EQ(b.attr, 0x12 | BOB_ATTR_DUPLICATE);
    EXPECT_EQ(b.frames[0], a.frames[0]);
    EXPECT_EQ(b.int_vars[5], 77);
    EXPECT_EQ(b.x, 3);
}

TEST(BobShutdown, FramesDoNotOutliveTheDisplay) {
    Headless_Reset(0);
    ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
    BOB_TYP bob{};
    ASSERT_EQ(Create_BOB(&bob, 0, 0, 8, 8, 1, 0x11, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    Sheet sheet(10, 10);
    DDraw_Shutdown(); // releases the frame surfaces
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 0, 0, EXTRACT_CELL), 0);
    EXPECT_EQ(Draw_BOB16(&bob, lpddsback), 0);
    bob.attr = 0;
    EXPECT_EQ(Destroy_BOB(&bob), 1); // nothing is released a second time
    ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
    bob.attr = BOB_ATTR_VISIBLE;
    EXPECT_EQ(Draw_BOB16(&bob, lpddsback), 0); // the old frame is not read
    EXPECT_EQ(Load_Frame_BOB16(&bob, &sheet.bmp, 0, 0, 0, EXTRACT_CELL), 0);
    DDraw_Shutdown();
}

TEST_F(Bob, CreationIsLoggedWithTheWidthPadWhenALogIsOpen) {
    std::string path = ::testing::TempDir() + "fw_bob_log.txt";
    ASSERT_EQ(Open_Error_File(path.c_str()), 1);
    BOB_TYP bob{};
    ASSERT_EQ(Create_BOB(&bob, 0, 0, 36, 4, 1, 0x11, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    ASSERT_EQ(Create_BOB(&bob, 0, 0, 13, 4, 1, 0x11, DDSCAPS_SYSTEMMEMORY, 0, 16), 1);
    Close_Error_File();
    FILE *fp = std::fopen(path.c_str(), "rb");
    ASSERT_NE(fp, nullptr);
    std::string text;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0)
        text.append(buf, n);
    std::fclose(fp);
    std::remove(path.c_str());
    EXPECT_NE(text.find("\nCreate BOB 4\nCreate BOB 3"), std::string::npos) << text;
}
