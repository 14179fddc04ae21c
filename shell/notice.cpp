// The on-screen notice: a dark band at the top of the shown picture with one line of text, drawn
// by the display's presentation overlay until it times out.
#include "shell/notice.h"

#include <cstdio>
#include <cstring>

#include "engine/graphics/ddraw.h"
#include "platform/platform.h"

namespace {

char notice[160];
uint32_t notice_until = 0;
constexpr int BAND_HEIGHT = 24;
constexpr int TEXT_X = 8, TEXT_Y = 4;
constexpr DWORD TEXT_COLOR = 0x0060E0FF; // amber, 0x00BBGGRR

int Notice_Live() {
    if (!notice[0]) return 0;
    if ((int32_t)(Plat_Ticks() - notice_until) >= 0) {
        notice[0] = 0;
        dd_present_overlay = nullptr;
        return 0;
    }
    return 1;
}

void Draw_Notice(LPDIRECTDRAWSURFACE4 shown) {
    if (!Notice_Live() || shown->height < BAND_HEIGHT) return;
    for (int y = 0; y < BAND_HEIGHT; y++) {
        USHORT *row = (USHORT *)(shown->memory.data() + (size_t)y * shown->pitch);
        for (int x = 0; x < shown->width; x++)
            row[x] = 0; // black under the text, whatever the frame shows there
    }
    Draw_Text_GDI(notice, TEXT_X, TEXT_Y, TEXT_COLOR, shown);
}

} // namespace

void Shell_Notice(const char *text) {
    std::snprintf(notice, sizeof notice, "%s", text ? text : "");
    notice_until = Plat_Ticks() + SHELL_NOTICE_MS;
    dd_present_overlay = notice[0] ? Draw_Notice : nullptr;
}

const char *Shell_Notice_Text() {
    return Notice_Live() ? notice : "";
}
