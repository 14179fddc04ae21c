// The instrument panel: the shield gauge and missile meter objects, the fuel gauge with its bar,
// the missile count and the engagement-area warning.
#include "game/panel.h"

#include <cstdio>

#include "engine/graphics/bitmap.h"
#include "engine/graphics/ddraw.h"
#include "game/game.h"
#include "world/sheet.h"
#include "world/ship.h"
#include "world/world.h"

BOB_TYP shields;
BOB_TYP missile_meter;

namespace {

// Raw pixel values, the same in either packing: dark blue 10 and light blue (0, 20, 30).
constexpr int FUEL_FRAME_COLOR = 10;
constexpr int FUEL_BAR_COLOR = 670;
constexpr DWORD MISSILE_COUNT_COLOR = 0x005050FF;
constexpr DWORD WARNING_COLOR = 0x000000FF;

} // namespace

int Init_Shield_Gauge() {
    Create_BOB(&shields, 710, 10, 90, 90, 4, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    // Cells a short, missing or differently packed file lacks stay blank.
    int ok = Load_Sheet_BOB16(&shields, "shields.bmp", 4, 4) == 4;
    shields.curr_frame = 3;
    return ok;
}

int Init_Missile_Meter() {
    BITMAP_FILE_TAG bitmap{};
    int ok = Load_Bitmap_File(&bitmap, "rmissile.bmp");
    Create_BOB(&missile_meter, 720, 110, 24, 80, 4, BOB_ATTR_VISIBLE | BOB_ATTR_SINGLE_FRAME,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    if (ok) ok = Load_Frame_BOB16(&missile_meter, &bitmap, 0, 0, 0, EXTRACT_ABSOLUTE);
    Unload_Bitmap_File(&bitmap);
    return ok;
}

int Draw_Panel() {
    Draw_Rectangle(770, 108, 790, 212, FUEL_FRAME_COLOR, lpddsback);
    // Float division and scaling, then truncation toward zero: 299.0 gives 99, 2.0 gives 0.
    int p = (int)(fuel / FUEL_FULL * 100);
    if (p > 0 && p <= 100) Draw_Rectangle(772, 210 - p, 788, 210, FUEL_BAR_COLOR, lpddsback);
    Draw_BOB(&missile_meter, lpddsback);
    snprintf(buffer, sizeof(buffer), "%d", missile_load);
    Draw_Text_GDI(buffer, 728, 190, MISSILE_COUNT_COLOR, lpddsback);
    return 1;
}

int Draw_Area_Warning() {
    if (Outside_Engagement_Area()) {
        static char warning[] = "Warning! Leaving engagement area!";
        Draw_Text_GDI(warning, 250, 500, WARNING_COLOR, lpddsback);
    }
    return 1;
}
