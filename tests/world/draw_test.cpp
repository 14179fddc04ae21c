// Creating the pools from the generated pictures, and drawing: the picture each object shows,
// where it lands on the screen, and how shots and stations animate.
#include "tests/support/world_fixture.h"

namespace {

using DrawTest = CombatTest;

// Whether any pixel of the back surface inside the rectangle is not black.
bool Lit(int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++) {
            const uint8_t *p = lpddsback->memory.data() + (size_t)y * lpddsback->pitch + 2 * x;
            if (p[0] | p[1]) return true;
        }
    return false;
}

TEST_F(DrawTest, PoolsAreCopiesOfTheirFirstRecord) {
    ASSERT_EQ(Init_Craft(), 1) << "craft01.bmp holds all 36 cells";
    ASSERT_EQ(Init_Bullets(), 1);
    ASSERT_EQ(Init_Missiles(), 1);
    ASSERT_EQ(Init_Stations(), 1);
    ASSERT_EQ(Init_Powerups(), 1);
    ASSERT_EQ(Init_Expl(), 1);
    EXPECT_EQ(world_x(craft[0]), 400);
    EXPECT_EQ(world_y(craft[0]), 100);
    for (int i = 0; i < MAX_CRAFT; i++) {
        EXPECT_EQ(craft[i].state, 0);
        EXPECT_EQ(craft[i].width, 49);
        EXPECT_EQ(craft[i].num_frames, 36);
        EXPECT_EQ(craft[i].frames[35], craft[0].frames[35]);
        EXPECT_EQ(heading(craft[i]), 0);
        EXPECT_EQ(vel_x(craft[i]), 0.0f);
        if (i > 0) {
            EXPECT_EQ(world_x(craft[i]), 100 * i);
            EXPECT_EQ(world_y(craft[i]), 200 * i);
        }
    }
    for (int i = 0; i < MAX_BULLETS; i++) {
        EXPECT_EQ(bullets[i].state, 0);
        EXPECT_EQ(bullets[i].width, 13);
        EXPECT_EQ(bullets[i].anim_speed, 1);
        for (int a = 0; a < 4; a++)
            EXPECT_EQ(bullets[i].anims[a], bullets[0].anims[a]);
    }
    EXPECT_EQ(bullets[0].anims[2][0], 8);
    EXPECT_EQ(bullets[0].anims[3][3], 15);
    EXPECT_EQ(bullets[0].anims[3][4], -1);
    for (int i = 0; i < MAX_MISSILES; i++) {
        EXPECT_EQ(missiles[i].width, 39);
        EXPECT_EQ(world_x(missiles[i]), 0);
        EXPECT_EQ(missiles[i].frames[0], missiles[0].frames[0]);
    }
    for (int i = 0; i < MAX_STATIONS; i++) {
        EXPECT_EQ(stations[i].state, 0);
        EXPECT_EQ(stations[i].width, 120);
        EXPECT_EQ(stations[i].anim_speed, 5);
        EXPECT_EQ(stations[i].anims[0], stations[0].anims[0]);
    }
    for (int i = 0; i < MAX_POWERUPS; i++) {
        EXPECT_EQ(powerups[i].width, 25);
        EXPECT_EQ(powerups[i].num_frames, 4);
    }
    EXPECT_EQ(explosion.width, 80);
    EXPECT_EQ(explosion.state, 0);
    EXPECT_EQ(explosion.anim_speed, 0);
    EXPECT_EQ(explosion.attr,
              BOB_ATTR_VISIBLE | BOB_ATTR_ANIM_ONE_SHOT | BOB_ATTR_MULTI_ANIM | BOB_ATTR_LOADED);
    Destroy_Craft();
    Destroy_Bullets();
    Destroy_Missiles();
    Destroy_Stations();
    Destroy_Powerups();
    Destroy_Expl();
    EXPECT_EQ(craft[7].frames[0], nullptr);
    EXPECT_EQ(bullets[0].anims[0], nullptr);
}

TEST_F(DrawTest, CraftShowsItsHeadingWhereItIs) {
    Init_Craft();
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    player_x = -0.5f;
    Place_Craft(3, 100, 50, 13);
    Draw_Craft();
    EXPECT_EQ(craft[3].curr_frame, 13);
    // (100 - 24) + 0.5 + 400 = 476.5, truncated; (50 - 24) + 300 = 326.
    EXPECT_EQ(craft[3].x, 476);
    EXPECT_EQ(craft[3].y, 326);
    EXPECT_TRUE(Lit(476, 326, 49, 49));
    EXPECT_FALSE(Lit(0, 0, 400, 300)) << "free slots are not drawn";
}

TEST_F(DrawTest, MissileShowsItsHeading) {
    Init_Missiles();
    Start_Missile(0, 0, 0.0f, 0.0f, 22);
    Draw_Missiles();
    EXPECT_EQ(missiles[0].curr_frame, 22);
    EXPECT_EQ(missiles[0].x, -19 - 19 + 400);
}

TEST_F(DrawTest, ShotShowsFrameZeroThenItsColoursSequence) {
    Init_Bullets();
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_PLAYER);
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_YELLOW);
    const int green[] = {0, 5, 6, 7, 4, 5, 6, 7, 4};
    const int yellow[] = {0, 13, 14, 15, 12, 13};
    for (int i = 0; i < 9; i++) {
        EXPECT_EQ(bullets[0].curr_frame, green[i]) << "draw " << i;
        if (i < 6) {
            EXPECT_EQ(bullets[1].curr_frame, yellow[i]) << "draw " << i;
        }
        Draw_Bullets();
    }
    EXPECT_EQ(bullets[0].anim_state, BULLET_COLOR_PLAYER) << "the tag survives the loops";
}

TEST_F(DrawTest, StationTurnsOnePictureEveryFiveFrames) {
    Init_Stations();
    Place_Station(0, 0, 0);
    for (int i = 0; i < 4; i++)
        Draw_Stations();
    EXPECT_EQ(stations[0].curr_frame, 0);
    Draw_Stations();
    EXPECT_EQ(stations[0].curr_frame, 1);
    for (int i = 0; i < 35; i++)
        Draw_Stations();
    EXPECT_EQ(stations[0].curr_frame, 0) << "the eight pictures loop every 40 frames";
    EXPECT_EQ(stations[0].x, -60 + 400);
}

TEST_F(DrawTest, PowerupShowsItsKind) {
    Init_Powerups();
    Start_Powerups(200, 0);
    powerups[0].curr_frame = 2;
    for (int i = 0; i < 5; i++)
        Draw_Powerups();
    EXPECT_EQ(powerups[0].curr_frame, 2);
    EXPECT_EQ(powerups[0].x, 188 - 12 + 400);
}

} // namespace
