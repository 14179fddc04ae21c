// Where the picture goes when it fills a window or screen, the whole factor it is first
// enlarged by, and the size a window starts at.
#include "platform/sdl/sdl_present.h"
#include <gtest/gtest.h>

namespace {

struct Box {
    int x, y, w, h;
};

Box fill(int out_w, int out_h) {
    Box b{};
    Sdl_Fill_Rect(out_w, out_h, 800, 600, &b.x, &b.y, &b.w, &b.h);
    return b;
}

TEST(Fill, LargestFourByThreeCentred) {
    // 1920x1080: height limits; 1080 * 4 / 3 = 1440 wide, bars of (1920 - 1440) / 2 = 240.
    Box a = fill(1920, 1080);
    EXPECT_EQ(a.x, 240);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.w, 1440);
    EXPECT_EQ(a.h, 1080);
    // 1280x800: 800 * 4 / 3 = 1066.67, truncated to 1066; bars of 107.
    Box b = fill(1280, 800);
    EXPECT_EQ(b.x, 107);
    EXPECT_EQ(b.w, 1066);
    EXPECT_EQ(b.h, 800);
    // 2560x1440: 1920 x 1440, bars of 320.
    Box c = fill(2560, 1440);
    EXPECT_EQ(c.x, 320);
    EXPECT_EQ(c.w, 1920);
    EXPECT_EQ(c.h, 1440);
    // A tall window: width limits; 1000 * 3 / 4 = 750 high, bars of (1200 - 750) / 2 = 225.
    Box d = fill(1000, 1200);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 225);
    EXPECT_EQ(d.w, 1000);
    EXPECT_EQ(d.h, 750);
    // Exactly 4:3 fills it all, larger or smaller than the picture.
    Box e = fill(1024, 768);
    EXPECT_EQ(e.x + e.y, 0);
    EXPECT_EQ(e.w, 1024);
    EXPECT_EQ(e.h, 768);
    Box f = fill(400, 300);
    EXPECT_EQ(f.w, 400);
    EXPECT_EQ(f.h, 300);
}

TEST(Fill, EnlargedByTheNextWholeFactor) {
    EXPECT_EQ(Sdl_Upscale_Factor(1440, 1080, 800, 600), 2); // 1.8 -> 2
    EXPECT_EQ(Sdl_Upscale_Factor(1066, 800, 800, 600), 2);  // 1.33 -> 2
    EXPECT_EQ(Sdl_Upscale_Factor(1920, 1440, 800, 600), 3); // 2.4 -> 3
    EXPECT_EQ(Sdl_Upscale_Factor(1600, 1200, 800, 600), 2); // whole: itself
    EXPECT_EQ(Sdl_Upscale_Factor(1601, 1200, 800, 600), 3); // one column over: the next
    EXPECT_EQ(Sdl_Upscale_Factor(800, 600, 800, 600), 1);
    EXPECT_EQ(Sdl_Upscale_Factor(400, 300, 800, 600), 1); // shrinking enlarges nothing
    EXPECT_EQ(Sdl_Upscale_Factor(0, 0, 800, 600), 1);
    EXPECT_EQ(Sdl_Upscale_Factor(1440, 1080, 0, 600), 1);
}

TEST(Fill, WindowStartsAtTheLargestWholeMultipleInNinetyPercent) {
    int w = 0, h = 0;
    // 90 % of 1920x1080 is 1728x972: one copy (two would need 1200 rows).
    Sdl_Start_Window_Size(1920, 1080, 800, 600, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    // 90 % of 2560x1440 is 2304x1296: two copies, 1600x1200.
    Sdl_Start_Window_Size(2560, 1440, 800, 600, &w, &h);
    EXPECT_EQ(w, 1600);
    EXPECT_EQ(h, 1200);
    // 90 % of 1778x1334 is 1600.2 x 1200.6: two copies just fit; 1777 gives 1599.3: one.
    Sdl_Start_Window_Size(1778, 1334, 800, 600, &w, &h);
    EXPECT_EQ(w, 1600);
    Sdl_Start_Window_Size(1777, 1334, 800, 600, &w, &h);
    EXPECT_EQ(w, 800);
    // Never below one copy.
    Sdl_Start_Window_Size(640, 480, 800, 600, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

} // namespace
