// Pictures between game frames: moving things blended by the share of the frame, jumps (a star
// wrapping round its plane, a reset) drawn where they are now, and the world left untouched.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/between.h"
#include "tests/support/world_fixture.h"

namespace {

// A near star (index 399, full white) on the 800 x 600 screen.
constexpr int NEAR_STAR = MAX_STARS - 1;
constexpr uint16_t WHITE_555 = 0x7FFF;

class BetweenTest : public CombatTest {
  protected:
    LPDIRECTDRAWSURFACE4 target = nullptr;
    void SetUp() override {
        CombatTest::SetUp();
        game_state = 1;
        // Every star off the screen (but on its plane), so only the ones a test places show.
        for (STAR_TYP &s : stars)
            s = STAR_TYP{1500, 1100};
        target = DDraw_Create_Surface(800, 600, DDSCAPS_SYSTEMMEMORY, 0);
        ASSERT_NE(target, nullptr);
    }
    uint16_t At(int x, int y) const {
        return ((const uint16_t *)target->memory.data())[(size_t)y * (target->pitch / 2) + x];
    }
};

TEST_F(BetweenTest, StarsAndTheViewMoveByTheShareOfTheFrameButAWrapJumps) {
    stars[NEAR_STAR] = STAR_TYP{100, 50};
    stars[NEAR_STAR - 1] = STAR_TYP{1598, 80}; // about to wrap to the plane's left edge
    player_x = 0;
    Between_Keep_Previous();
    // The frame: the view moves 12 to the right, the star 12 to the left, the other wraps.
    player_x = 12;
    stars[NEAR_STAR] = STAR_TYP{88, 50};
    stars[NEAR_STAR - 1] = STAR_TYP{6, 80};

    struct {
        double alpha;
        int star_x;   // 100 + (88 - 100) * alpha, to the nearest pixel
        float view_x; // 0 + 12 * alpha
    } cases[] = {{0.25, 97, 3.0f}, {0.5, 94, 6.0f}, {0.75, 91, 9.0f}, {1.0, 88, 12.0f}};
    for (const auto &c : cases) {
        float vx = -1, vy = -1;
        ASSERT_EQ(Game_Draw_Between(c.alpha, target, &vx, &vy), 1);
        EXPECT_FLOAT_EQ(vx, c.view_x) << c.alpha;
        EXPECT_FLOAT_EQ(vy, 0.0f) << c.alpha;
        EXPECT_EQ(At(c.star_x, 50), WHITE_555) << c.alpha;
        if (c.alpha < 1) {
            EXPECT_NE(At(88, 50), WHITE_555) << c.alpha;
        }
        // The wrapped star is where it is now, never smeared across the screen.
        EXPECT_EQ(At(6, 80), WHITE_555) << c.alpha;
        for (int x = 7; x < 800; x++)
            ASSERT_NE(At(x, 80), WHITE_555) << c.alpha << " x " << x;
    }
}

TEST_F(BetweenTest, AResetFrameIsDrawnAsItIsNow) {
    stars[NEAR_STAR] = STAR_TYP{100, 50};
    player_x = 40;
    Between_Keep_Previous();
    stars[NEAR_STAR] = STAR_TYP{96, 50};
    player_x = 44;
    Between_Mark_Jump();
    float vx = 0;
    ASSERT_EQ(Game_Draw_Between(0.5, target, &vx, nullptr), 1);
    EXPECT_FLOAT_EQ(vx, 44.0f);
    EXPECT_EQ(At(96, 50), WHITE_555);
    EXPECT_NE(At(98, 50), WHITE_555);
}

TEST_F(BetweenTest, DrawingInBetweenChangesNoGameState) {
    stars[NEAR_STAR] = STAR_TYP{100, 50};
    Place_Craft(0, 100, 40, 7);
    Place_Station(0, -200, 100);
    bullets[3].state = 1;
    world_x(bullets[3]) = 30;
    Start_Expl(60, 60);
    particles[2] = PARTICLE_TYP{10, 10, 2, 0, 20};
    Between_Keep_Previous();
    world_x(craft[0]) += 9;
    world_x(bullets[3]) += 20;
    particles[2].x += 2;
    particles[2].life--;
    stars[NEAR_STAR].x -= 5;
    player_x = 5;
    std::strcpy(buffer, "left by the frame");

    // Byte copies of everything the drawing could reach.
    auto bytes = [](const void *p, size_t n) {
        return std::vector<uint8_t>((const uint8_t *)p, (const uint8_t *)p + n);
    };
    auto world = [&] {
        std::vector<std::vector<uint8_t>> w = {
            bytes(craft, sizeof craft),        bytes(stations, sizeof stations),
            bytes(missiles, sizeof missiles),  bytes(bullets, sizeof bullets),
            bytes(powerups, sizeof powerups),  bytes(&explosion, sizeof explosion),
            bytes(&player, sizeof player),     bytes(particles, sizeof particles),
            bytes(stars, sizeof stars),        bytes(&player_x, sizeof player_x),
            bytes(&player_y, sizeof player_y), bytes(buffer, sizeof buffer),
        };
        return w;
    };
    const auto before = world();
    Seed_Rand(4321);
    for (double alpha : {0.1, 0.5, 0.9, 1.0})
        ASSERT_EQ(Game_Draw_Between(alpha, target, nullptr, nullptr), 1);
    EXPECT_TRUE(Next_Rand_Is(4321, 0)); // no random number drawn
    EXPECT_TRUE(world() == before);
}

} // namespace
