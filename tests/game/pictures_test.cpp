// Whole frames of the game run headless: the title picture behind the streaming stars, a flying
// frame with the panel, radar and debug readout, Game Over and You Win, and the effects of the
// keys on the title screen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/dik.h"
#include "game/screens.h"
#include "tests/support/game_run.h"
#include "world/ship.h"
#include "world/world.h"

namespace {

bool Is_Star_Grey(int r, int g, int b) {
    return r == g && g == b && (r == 12 || r == 22 || r == 31);
}
bool In_Title_Picture(int x, int y) {
    return x >= 100 && x < 700 && y >= 50 && y < 550;
}

class Pictures : public ::testing::Test {
  protected:
    Game_Run run;
    void SetUp() override { run.Start(); }
    void TearDown() override {
        Game_Shutdown(nullptr);
        run.Stop();
    }
    // The game's set-up with its title screen, left with Escape at the given keyboard read.
    void Init_Leaving_Title_At(int read) {
        run.keys[read] = {DIK_ESCAPE};
        Game_Init(nullptr);
    }
    // Runs one game frame and returns its picture.
    const Shot &Frame() {
        run.keep.insert(run.presented);
        int index = run.presented;
        Game_Main(nullptr);
        return run.shots[index];
    }
};

TEST_F(Pictures, TitleShowsThePictureWithStarsStreamingUpAroundIt) {
    run.keep = {0, 1};
    Init_Leaving_Title_At(2);
    ASSERT_EQ(run.presented, 3);
    ASSERT_EQ(run.shots.size(), 2u);
    const Shot &a = run.shots[0], &b = run.shots[1];

    int picture = a.count(100, 50, 700, 550, Is_Lit);
    EXPECT_GT(picture, 600 * 500 / 10);
    // Outside the picture's rectangle only stars are lit.
    int stars = 0, other = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            if (In_Title_Picture(x, y) || !a.at(x, y)) continue;
            (Is_Star_Grey(a.red(x, y), a.green(x, y), a.blue(x, y)) ? stars : other)++;
        }
    EXPECT_GT(stars, 5);
    EXPECT_EQ(other, 0);

    // Near stars (white) move 20 pixels up per frame: the screen's downward speed of 20.
    int near = 0, moved = 0;
    for (int y = 20; y < 600; y++)
        for (int x = 0; x < 800; x++)
            if (!In_Title_Picture(x, y) && a.red(x, y) == 31 && a.green(x, y) == 31 &&
                a.blue(x, y) == 31) {
                near++;
                moved +=
                    b.red(x, y - 20) == 31 && b.green(x, y - 20) == 31 && b.blue(x, y - 20) == 31;
            }
    EXPECT_GT(near, 2);
    EXPECT_EQ(moved, near);
    EXPECT_EQ(player_yv, 0.0f);
}

// The key card: in the band under the picture, in its own amber (0xF0, 0xD0, 0x70 is 30, 26, 14
// on the 0..31 scale), away from the logo, and never on the credits.
TEST_F(Pictures, KeyCardShowsUnderTheTitlePictureAndNotOnTheCredits) {
    const char *card[] = {"Esc  start", "Left/Right  turn", "Up  thrust", "Tab  afterburner",
                          "Ctrl  fire", "Alt  missile",     "P  pause",   "F1  settings"};
    auto amber = [](int r, int g, int b) { return r == 30 && g == 26 && b == 14; };
    static_assert(TITLE_CARD_COLOR == 0x0070D0F0, "the amber counted here");
    run.keep = {0};
    Init_Leaving_Title_At(0);
    EXPECT_EQ(run.shots[0].count(0, 0, 800, 600, amber), 0); // the bare title
    Title_Set_Card(card, 8);
    int title = run.presented;
    run.keep.insert(title);
    run.keys[Headless_Keyboard_Reads()] = {DIK_ESCAPE};
    Run_Title_Screen();
    const Shot &s = run.shots[title];
    EXPECT_EQ(s.count(0, 0, 800, TITLE_CARD_Y, amber), 0);
    // Both rows of four carry text, in each quarter of the width.
    for (int row = 0; row < 2; row++)
        for (int col = 0; col < 4; col++)
            EXPECT_GT(s.count(col * 200, TITLE_CARD_Y + row * 20, col * 200 + 200,
                              TITLE_CARD_Y + row * 20 + 20, amber),
                      20)
                << row << " " << col;
    int credits = run.presented;
    run.keep.insert(credits);
    run.keys[Headless_Keyboard_Reads()] = {DIK_ESCAPE};
    Run_Credits_Screen();
    EXPECT_EQ(run.shots[credits].count(0, 0, 800, 600, amber), 0);
    Title_Set_Card(nullptr, 0);
}

TEST_F(Pictures, OnlyEscapeLeavesTheTitleWhichThenHoldsTwoHundredMs) {
    for (int read = 0; read < 6; read++)
        run.keys[read] = {DIK_RETURN, DIK_SPACE, DIK_UP, DIK_D, DIK_R, DIK_LCONTROL};
    Init_Leaving_Title_At(6);
    EXPECT_EQ(run.presented, 7);
    ASSERT_EQ(run.read_ticks.size(), 7u);
    for (int i = 1; i < 7; i++)
        EXPECT_GE(run.read_ticks[i] - run.read_ticks[i - 1], 30u) << "title frame " << i;
    // The virtual clock moves only in waits: the last frame began at its read.
    EXPECT_GE(Plat_Ticks() - run.read_ticks[6], 200u);
    // The keys held on the title did nothing to the game.
    EXPECT_EQ(debug_mode, 0);
    EXPECT_EQ(player_yv, 0.0f);
}

TEST_F(Pictures, FlyingFrameShowsPanelRadarScoreAndDebugReadout) {
    Init_Leaving_Title_At(2);
    run.keys[3] = {DIK_D};
    const Shot &f = Frame();
    ASSERT_EQ(debug_mode, 1);
    // The ship's radar dot at the origin, green 30.
    EXPECT_EQ(f.red(750, 550), 0);
    EXPECT_EQ(f.green(750, 550), 30);
    EXPECT_EQ(f.blue(750, 550), 0);
    // The full tank: the bar fills rows 110..209 inside the gauge's frame.
    EXPECT_EQ(f.at(780, 110), 670);
    EXPECT_EQ(f.at(780, 209), 670);
    EXPECT_EQ(f.at(780, 109), 10);
    EXPECT_EQ(f.at(780, 210), 10);
    EXPECT_EQ(f.at(771, 150), 10);
    // Shield gauge, missile picture and the four radar corners are drawn.
    EXPECT_GT(f.count(710, 10, 800, 100, Is_Lit), 100);
    EXPECT_GT(f.count(720, 110, 744, 190, Is_Lit), 20);
    EXPECT_GT(f.count(700, 500, 710, 510, Is_Lit), 0);
    EXPECT_GT(f.count(790, 500, 800, 510, Is_Lit), 0);
    EXPECT_GT(f.count(700, 590, 710, 600, Is_Lit), 0);
    EXPECT_GT(f.count(790, 590, 800, 600, Is_Lit), 0);
    // Missile count in light red below the picture.
    EXPECT_GT(f.count(726, 188, 770, 215,
                      [](int r, int g, int b) {
                          return r >= 24 && g >= 5 && g <= 16 && b >= 5 && b <= 16;
                      }),
              4);
    // The score line in cyan and the readout's first lines in cyan and red.
    EXPECT_GT(f.count(350, 8, 700, 30, Is_Cyan), 20);
    EXPECT_GT(f.count(8, 8, 250, 28, Is_Cyan), 20);
    EXPECT_GT(f.count(8, 48, 250, 68, Is_Red), 10);
    // Inside the engagement area: no warning.
    EXPECT_EQ(f.count(240, 495, 700, 530, Is_Red), 0);
}

TEST_F(Pictures, FuelBarFollowsTheTankAndWarningShowsFarOut) {
    Init_Leaving_Title_At(2);
    fuel = 150.0f;
    const Shot &half = Frame();
    EXPECT_EQ(half.at(780, 160), 670);
    EXPECT_EQ(half.at(780, 159), 10);
    EXPECT_EQ(half.count(780, 100, 781, 220,
                         [](int r, int g, int b) { return !r && g == 20 && b == 30; }),
              50);

    player_x = 10400.0f;
    const Shot &out = Frame();
    EXPECT_GT(out.count(240, 495, 700, 530, Is_Red), 40);
    // The ship's dot follows it: (23200 >> 8) + 700 = 790.
    EXPECT_EQ(out.green(790, 550), 30);
}

TEST_F(Pictures, StarsMoveAgainstTheVelocity) {
    Init_Leaving_Title_At(2);
    Frame();
    player_xv = 10.0f; // below the engine limit: coasting keeps it
    player_yv = -6.0f;
    STAR_TYP before[MAX_STARS];
    std::copy(stars, stars + MAX_STARS, before);
    const Shot &a = Frame();
    const Shot &b = Frame();
    // Star plane: near stars 10 left and 6 down, middle 5 and 3, far 3 (-10 >> 2) and 1 (6 >> 2).
    EXPECT_EQ(stars[399].x, (before[399].x - 20 + 1600) % 1600);
    EXPECT_EQ(stars[399].y, (before[399].y + 12) % 1200);
    EXPECT_EQ(stars[200].x, (before[200].x - 10 + 1600) % 1600);
    EXPECT_EQ(stars[200].y, (before[200].y + 6) % 1200);
    EXPECT_EQ(stars[0].x, (before[0].x - 6 + 1600) % 1600);
    EXPECT_EQ(stars[0].y, (before[0].y + 2) % 1200);
    // On screen: a white star away from the ship, the texts and the panel is found 10 left and
    // 6 down in the next frame.
    int near = 0, moved = 0;
    for (int y = 40; y < 590; y++)
        for (int x = 10; x < 690; x++) {
            bool busy = (x > 340 && x < 460 && y > 240 && y < 360) || (x < 260 && y < 170);
            if (busy || a.red(x, y) != 31 || a.green(x, y) != 31 || a.blue(x, y) != 31) continue;
            near++;
            moved += b.red(x - 10, y + 6) == 31 && b.green(x - 10, y + 6) == 31 &&
                     b.blue(x - 10, y + 6) == 31;
        }
    EXPECT_GT(near, 2);
    EXPECT_GE(moved * 10, near * 8);
}

TEST_F(Pictures, GameOverAndYouWinTextsWithTheShipsDotKept) {
    Init_Leaving_Title_At(2);
    auto game_over_band = [](const Shot &s) { return s.count(353, 316, 363, 345, Is_Red); };
    player.state = 0;
    const Shot &lost = Frame();
    EXPECT_GT(game_over_band(lost), 5);
    EXPECT_GT(lost.count(365, 316, 460, 345, Is_Red), 20);
    EXPECT_GT(lost.count(318, 356, 560, 385, Is_Dark_Cyan), 30);
    EXPECT_EQ(lost.green(750, 550), 30);

    // Alive again with no enemies left, the frame shows "You Win!", whose first letter starts
    // 10 pixels further right than "Game Over".
    player.state = 1;
    enemy_ships = 0;
    const Shot &won = Frame();
    EXPECT_EQ(game_over_band(won), 0);
    EXPECT_GT(won.count(365, 316, 460, 345, Is_Red), 20);
    EXPECT_GT(won.count(318, 356, 560, 385, Is_Dark_Cyan), 30);
}

// Writes a .bmp file: the 14-byte file header, the 40-byte info header, then the body (palette
// and pixels) as given; size_image is what the header claims, true or not.
void Write_Bmp(const std::string &path, int width, int height, int bits, uint32_t size_image,
               const std::vector<uint8_t> &body) {
    std::vector<uint8_t> f;
    auto u16 = [&](uint32_t v) {
        f.push_back(v & 255);
        f.push_back((v >> 8) & 255);
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u16(0x4D42);
    u32(54 + (uint32_t)body.size());
    u32(0);
    u32(54 + (bits == 8 ? 1024 : 0));
    u32(40);
    u32((uint32_t)width);
    u32((uint32_t)height);
    u16(1);
    u16((uint32_t)bits);
    u32(0);
    u32(size_image);
    u32(0);
    u32(0);
    u32(0);
    u32(0);
    f.insert(f.end(), body.begin(), body.end());
    FILE *out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(f.data(), 1, f.size(), out);
    std::fclose(out);
}

TEST_F(Pictures, TitlePictureThatIsTooSmallLyingOrPalettedLeavesOnlyStars) {
    Init_Leaving_Title_At(0);
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("farwake_screens_" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path home = fs::current_path();
    std::string file = (dir / "marlotitle.bmp").string();

    std::vector<uint8_t> blue8x8;
    for (int i = 0; i < 64; i++)
        blue8x8.insert(blue8x8.end(), {255, 0, 0});
    std::vector<uint8_t> paletted(1024, 0);
    paletted[4 + 2] = 255; // index 1 is red
    paletted.resize(1024 + 600 * 500, 1);
    struct Bad {
        const char *what;
        int w, h, bits;
        uint32_t claimed;
        std::vector<uint8_t> body;
    };
    for (const Bad &bad : {Bad{"8 x 8", 8, 8, 24, 192, blue8x8},
                           Bad{"cut short", 600, 500, 24, 900000, std::vector<uint8_t>(1000, 255)},
                           Bad{"8-bit", 600, 500, 8, 300000, paletted}}) {
        Write_Bmp(file, bad.w, bad.h, bad.bits, bad.claimed, bad.body);
        fs::current_path(dir);
        int index = run.presented;
        run.keep.insert(index);
        run.keys[Headless_Keyboard_Reads()] = {DIK_ESCAPE};
        Run_Title_Screen();
        fs::current_path(home);
        ASSERT_EQ(run.presented, index + 1) << bad.what;
        const Shot &s = run.shots[index];
        int stars = 0, other = 0;
        for (int y = 50; y < 550; y++)
            for (int x = 100; x < 700; x++)
                if (s.at(x, y))
                    (Is_Star_Grey(s.red(x, y), s.green(x, y), s.blue(x, y)) ? stars : other)++;
        EXPECT_EQ(other, 0) << bad.what;
        EXPECT_GT(stars, 5) << bad.what;
    }
    fs::remove_all(dir);
}

} // namespace
