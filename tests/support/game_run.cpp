// The headless game runner behind the frame tests.
#include "tests/support/game_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "engine/graphics/ddraw.h"
#include "engine/sound/dsound.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "shell/winmain.h"
#include "world/craft.h"

namespace {
const KEY_TABLE *run_keys;
int run_end;
int run_keep;
std::function<void(int)> run_before;
std::vector<SNAPSHOT_TYP> *run_out;
std::vector<uint16_t> last_picture;
int last_packing;

void Keys(int read, uint8_t state[256], void *) {
    memset(state, 0, 256);
    if (read == 0 || read >= run_end) state[0x01] = 0x80;
    auto it = run_keys->find(read);
    if (it != run_keys->end())
        for (int k : it->second)
            state[k] = 0x80;
    // The hook before a frame runs here: the keyboard read is the frame's first look at the world
    // after the clock and the clear.
    if (run_before && read >= 1 && read < run_end + 2) run_before((int)run_out->size());
}

void Frame(const uint16_t *px, int w, int h, int pitch, int packing, void *) {
    last_packing = packing;
    last_picture.assign((size_t)w * h, 0);
    for (int y = 0; y < h; y++)
        memcpy(&last_picture[(size_t)y * w], (const uint8_t *)px + (size_t)y * pitch,
               (size_t)w * 2);
}

void After_Frame() {
    SNAPSHOT_TYP s{};
    s.read = Headless_Keyboard_Reads() - 1;
    s.player_state = player.state;
    s.heading = player.int_vars[INDEX_HEADING];
    s.shield = player.int_vars[INDEX_SHIELD];
    s.gun_delay = player.counter_1;
    s.x = player_x;
    s.y = player_y;
    s.xv = player_xv;
    s.yv = player_yv;
    s.v = player_v;
    s.fuel = fuel;
    s.missile_load = missile_load;
    s.missile_delay = missile_delay;
    s.score = score;
    s.enemy_ships = enemy_ships;
    s.debug_mode = debug_mode;
    s.dd_pixel_format = dd_pixel_format;
    s.key_toggle_delay = key_toggle_delay;
    s.game_state = game_state;
    s.engines_on = engines_on;
    s.afterburners_on = afterburners_on;
    s.engine_status = DSound_Status_Sound(engine_id);
    s.afterburner_status = DSound_Status_Sound(afterburner_id);
    for (auto &c : craft)
        s.live_craft += c.state != 0;
    s.queue = Shell_Queue_Length();
    s.buffer = buffer;
    s.packing = last_packing;
    if (run_keep) s.picture = last_picture;
    run_out->push_back(std::move(s));
}
} // namespace

std::vector<SNAPSHOT_TYP> Run_Game(const KEY_TABLE &keys, int end_read,
                                   std::function<void(int)> before_frame, int keep_pictures) {
    std::vector<SNAPSHOT_TYP> out;
    run_keys = &keys;
    run_end = end_read;
    run_before = before_frame;
    run_out = &out;
    run_keep = keep_pictures;
    // The game reads its files from the working directory; run by hand from elsewhere, the
    // tests still find the generated ones.
    if (access("ship.bmp", R_OK) != 0 && chdir(FW_DATA_DIR) != 0)
        ADD_FAILURE() << "no data in the working directory or in " << FW_DATA_DIR;
    // What a fresh process starts with and set-up leaves alone.
    key_toggle_delay = 0;
    engines_on = afterburners_on = 0;
    Shell_Reset();
    Headless_Reset(1000);
    Headless_Set_Key_Source(Keys, nullptr);
    Headless_Set_Frame_Hook(Frame, nullptr);
    game_frame_hook = After_Frame;
    HINSTANCE__ instance{1};
    WinMain(&instance, nullptr, nullptr, 0);
    game_frame_hook = nullptr;
    Headless_Set_Key_Source(nullptr, nullptr);
    Headless_Set_Frame_Hook(nullptr, nullptr);
    run_before = nullptr;
    return out;
}

int Count_Pixels(const std::vector<uint16_t> &pic, int x0, int y0, int x1, int y1, uint16_t value) {
    int n = 0;
    if (pic.size() < 800u * 600u) return 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += pic[(size_t)y * 800 + x] == value;
    return n;
}

int Text_Shown(const SNAPSHOT_TYP &s, const char *text, int x, int y, unsigned int colour) {
    if (s.picture.size() < 800u * 600u || !DDraw_Text_Open()) return 0;
    DDSURFACE probe;
    probe.width = 800;
    probe.height = 600;
    probe.bpp = 16;
    probe.pitch = 1600;
    probe.memory.assign(1600u * 600u, 0);
    int saved = dd_present_format;
    dd_present_format = s.packing;
    Draw_Text_GDI(text, x, y, colour, &probe);
    dd_present_format = saved;
    DDraw_Text_Close(); // as the display leaves it when a run ends
    const uint16_t want = DDraw_Color_To_Pixel(colour, s.packing);
    const uint16_t *px = (const uint16_t *)probe.memory.data();
    int glyph = 0;
    for (size_t i = 0; i < 800u * 600u; i++) {
        if (!px[i]) continue;
        glyph++;
        if (s.picture[i] != want) return 0;
    }
    return glyph > 0;
}

int Leftmost_Pixel(const std::vector<uint16_t> &pic, int x0, int y0, int x1, int y1,
                   uint16_t value) {
    if (pic.size() < 800u * 600u) return -1;
    for (int x = x0; x < x1; x++)
        for (int y = y0; y < y1; y++)
            if (pic[(size_t)y * 800 + x] == value) return x;
    return -1;
}
