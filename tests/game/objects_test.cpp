// The panel's and radar's objects as set-up makes them from the generated pictures: their places,
// sizes, frame counts and attributes, the corner pieces drawn in their four places only, and files
// that are cut short.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/graphics/ddraw.h"
#include "game/panel.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "world/radar.h"

namespace {

class Objects : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        Plat_Init();
        ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
        dd_pixel_format = 15;
    }
    void TearDown() override {
        Destroy_Radar();
        Destroy_BOB(&shields);
        Destroy_BOB(&missile_meter);
        DDraw_Shutdown();
        Plat_Quit();
    }
    static uint16_t At(int x, int y) {
        const uint8_t *row = lpddsback->memory.data() + (size_t)y * lpddsback->pitch;
        return (uint16_t)(row[2 * x] | row[2 * x + 1] << 8);
    }
    static int Lit(int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++)
                n += At(x, y) != 0;
        return n;
    }
};

TEST_F(Objects, GaugesAndRadarFrameAreMadeAsTheGameExpects) {
    EXPECT_EQ(Init_Shield_Gauge(), 1);
    EXPECT_EQ(Init_Missile_Meter(), 1);
    EXPECT_EQ(Init_Radar(), 1);

    EXPECT_EQ(shields.x, 710);
    EXPECT_EQ(shields.y, 10);
    EXPECT_EQ(shields.width, 90);
    EXPECT_EQ(shields.height, 90);
    EXPECT_EQ(shields.num_frames, 4);
    EXPECT_EQ(shields.attr & (BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME),
              BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME);
    EXPECT_EQ(shields.curr_frame, 3);

    EXPECT_EQ(missile_meter.x, 720);
    EXPECT_EQ(missile_meter.y, 110);
    EXPECT_EQ(missile_meter.width, 24);
    EXPECT_EQ(missile_meter.height, 80);
    EXPECT_EQ(missile_meter.num_frames, 4);
    EXPECT_EQ(missile_meter.attr & (BOB_ATTR_VISIBLE | BOB_ATTR_SINGLE_FRAME),
              BOB_ATTR_VISIBLE | BOB_ATTR_SINGLE_FRAME);

    EXPECT_EQ(radar.width, 10);
    EXPECT_EQ(radar.height, 10);
    EXPECT_EQ(radar.num_frames, 36);
}

TEST_F(Objects, RadarCornersAreDrawnInTheirFourPlacesOnly) {
    ASSERT_EQ(Init_Radar(), 1);
    Draw_Radar_Frame();
    const int corner[4][2] = {{700, 500}, {790, 500}, {700, 590}, {790, 590}};
    int inside = 0;
    for (auto &c : corner) {
        int n = Lit(c[0], c[1], c[0] + 10, c[1] + 10);
        EXPECT_GT(n, 0) << c[0] << ", " << c[1];
        inside += n;
    }
    EXPECT_EQ(Lit(0, 0, 800, 600), inside);
    // The last piece drawn leaves the object on the bottom-right corner.
    EXPECT_EQ(radar.x, 790);
    EXPECT_EQ(radar.y, 590);
    EXPECT_EQ(radar.curr_frame, 3);
}

TEST_F(Objects, ShieldFramesShowTheFourLevelsAsDifferentPictures) {
    ASSERT_EQ(Init_Shield_Gauge(), 1);
    std::vector<std::vector<uint16_t>> seen;
    for (int level = 0; level < 4; level++) {
        DDraw_Fill_Surface(lpddsback, 0, nullptr);
        shields.curr_frame = level;
        Draw_BOB16(&shields, lpddsback);
        std::vector<uint16_t> box;
        for (int y = 10; y < 100; y++)
            for (int x = 710; x < 800; x++)
                box.push_back(At(x, y));
        EXPECT_EQ(Lit(0, 0, 710, 600) + Lit(710, 100, 800, 600), 0);
        for (const auto &other : seen)
            EXPECT_NE(box, other) << "level " << level;
        seen.push_back(box);
    }
}

TEST_F(Objects, PicturesCutShortLeaveBlankFramesAndReportIt) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("farwake_objects_" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path home = fs::current_path();
    // A header that claims 400 x 100 24-bit pixels, followed by only 10 bytes of them.
    unsigned char head[54] = {'B', 'M', 64, 0, 0, 0,    0, 0, 0,    0,    54, 0, 0,
                              0,   40,  0,  0, 0, 0x90, 1, 0, 0,    100,  0,  0, 0,
                              1,   0,   24, 0, 0, 0,    0, 0, 0xC0, 0xD4, 1};
    for (const char *name : {"radar.bmp", "shields.bmp", "rmissile.bmp"}) {
        FILE *f = std::fopen((dir / name).string().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(head, 1, sizeof head, f);
        std::fwrite("0123456789", 1, 10, f);
        std::fclose(f);
    }
    fs::current_path(dir);
    int radar_ok = Init_Radar(), shields_ok = Init_Shield_Gauge(), meter_ok = Init_Missile_Meter();
    fs::current_path(home);
    fs::remove_all(dir);
    EXPECT_EQ(radar_ok, 0);
    EXPECT_EQ(shields_ok, 0);
    EXPECT_EQ(meter_ok, 0);
    // The objects exist and draw nothing.
    Draw_Radar_Frame();
    Draw_BOB16(&shields, lpddsback);
    Draw_BOB(&missile_meter, lpddsback);
    EXPECT_EQ(Lit(0, 0, 800, 600), 0);
    EXPECT_EQ(shields.curr_frame, 3);
}

} // namespace
