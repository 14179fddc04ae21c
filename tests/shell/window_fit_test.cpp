// The first window's size on desktops of many shapes: the largest 4:3 window within 85 % of the
// usable desktop (whole multiples with integer scaling), and the picture's size when the desktop
// is unknown. Every expected size is worked out below from the rule.
#include "shell/window_fit.h"
#include <gtest/gtest.h>

namespace {

TEST(WindowFit, LargestShapeWithinTheShare) {
    const struct {
        int desk_w, desk_h, integer, want_w, want_h;
        const char *why;
    } cases[] = {
        // 85 % of 1080 is 918 rows: 306 steps of 4 x 3 (1632 columns would allow 408).
        {1920, 1080, 0, 1224, 918, "1920x1080: the height limits"},
        // A desktop panel of 40 rows: 85 % of 1040 is 884, 294 steps (882 rows).
        {1920, 1040, 0, 1176, 882, "a panel takes 40 rows"},
        // 85 % of 1440 is 1224 rows, 408 steps.
        {2560, 1440, 0, 1632, 1224, "2560x1440"},
        // A tall desktop: 85 % of 1080 columns is 918, 229 steps of 4 (916 columns).
        {1080, 1920, 0, 916, 687, "portrait: the width limits"},
        // 85 % of 768 is 652 (652.8 cut), 217 steps.
        {1024, 768, 0, 868, 651, "1024x768"},
        // Smaller than the picture: the window still keeps the shape.
        {640, 480, 0, 544, 408, "640x480"},
        // Whole multiples: 918 rows hold one copy of 600, 1224 hold two.
        {1920, 1080, 1, 800, 600, "integer at 1920x1080"},
        {2560, 1440, 1, 1600, 1200, "integer at 2560x1440"},
        {640, 480, 1, 800, 600, "integer never below one copy"},
        // Unknown or broken sizes: the picture's own.
        {0, 0, 0, 800, 600, "unknown desktop"},
        {-5, 1080, 0, 800, 600, "a negative width"},
        {1920, 0, 1, 800, 600, "no height"},
        // A desktop too small for one step is left to the picture's size.
        {3, 3, 0, 800, 600, "a desktop of 3 pixels"},
    };
    for (const auto &c : cases) {
        int w = -1, h = -1;
        Shell_First_Window_Size(c.desk_w, c.desk_h, 800, 600, c.integer, &w, &h);
        EXPECT_EQ(w, c.want_w) << c.why;
        EXPECT_EQ(h, c.want_h) << c.why;
        if (!c.integer && c.desk_w > 100 && c.desk_h > 100) {
            EXPECT_EQ(w * 3, h * 4) << c.why;
        }
    }
}

TEST(WindowFit, OtherShapesKeepTheirOwn) {
    int w = 0, h = 0;
    // 320 x 200 is 8 x 5 in its smallest steps: 85 % of 1080 is 918, 183 steps of 5.
    Shell_First_Window_Size(1920, 1080, 320, 200, 0, &w, &h);
    EXPECT_EQ(w, 1464);
    EXPECT_EQ(h, 915);
    // A picture with no size is left as it is.
    Shell_First_Window_Size(1920, 1080, 0, 600, 0, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 600);
}

} // namespace
