// The title and credits screens: their frame loops over the title picture and the star field,
// their end conditions (Escape, or the credits' last frame), and the credits' caption table.
#include "game/screens.h"

#include <cstdio>
#include <cstring>

#include "engine/graphics/bitmap.h"
#include "engine/graphics/clock.h"
#include "engine/graphics/ddraw.h"
#include "engine/graphics/frame_source.h"
#include "engine/input/dinput.h"
#include "engine/window/window.h"
#include "world/stars.h"
#include "world/world.h"

BITMAP_IMAGE_TYP background_bmp;
int (*title_frame_hook)() = nullptr;

namespace {

// The picture's block: 600 x 500 pixels from (0, 0) of the file, shown at (100, 50).
constexpr int TITLE_X = 100;
constexpr int TITLE_Y = 50;
constexpr int TITLE_W = 600;
constexpr int TITLE_H = 500;
// The screens stream the stars up the screen by giving the ship a downward speed.
constexpr float SCREEN_STAR_SPEED = 20.0f;
constexpr int SCREEN_FRAME_MS = 30;
constexpr int TITLE_HOLD_MS = 200;
constexpr int CREDITS_HOLD_MS = 100;
constexpr int CREDITS_LAST_FRAME = 1201;
constexpr DWORD CAPTION_COLOR = 0x000000FF;
// The key card, four lines to a row.
constexpr int CARD_MAX_LINES = 8;
constexpr int CARD_COLUMNS = 4;
char card_lines[CARD_MAX_LINES][48];
int card_count = 0;
char best_line[48];

} // namespace

void Title_Set_Best(const char *text) {
    snprintf(best_line, sizeof best_line, "%s", text ? text : "");
}

void Title_Set_Card(const char *const *lines, int count) {
    card_count = 0;
    for (int i = 0; lines && i < count && i < CARD_MAX_LINES; i++)
        snprintf(card_lines[card_count++], sizeof card_lines[0], "%s", lines[i] ? lines[i] : "");
}

struct CREDITS_ROW_TYP {
    int frame;
    const char *line1;
    const char *line2;
};

namespace {

constexpr CREDITS_ROW_TYP credits_rows[] = {
    {10, "Designed and programmed by", "Orrin Vale"},
    {150, "Original game engine by", "Teodor Quist"},
    {300, "Engine sounds provided by", "Pellucid Works LLC & Teodor Quist"},
    {450, "Special Thanks to", "Professor H. Ostrand"},
    {600, "The Farwake Project", "Copyright (c) 2026 The Farwake Project"},
    {750, "Thanks for playing!", "Visit farwake.example.org"},
};

} // namespace

const char *Credits_Caption(int frame, int line) {
    for (const CREDITS_ROW_TYP &row : credits_rows)
        if (row.frame == frame) return line == 1 ? row.line1 : (line == 2 ? row.line2 : nullptr);
    return nullptr;
}

namespace {

// Whether Escape is down, asked of the system and of this frame's keyboard read.
int Escape_Down() {
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) || keyboard_state[DIK_ESCAPE];
}

// Loads the title picture into background_bmp. A missing file leaves it unloaded, and the loader
// refuses a block the file lacks: the screens then show only their stars.
void Load_Title_Picture() {
    BITMAP_FILE_TAG bitmap{};
    Destroy_Bitmap_Image(&background_bmp); // each screen makes its own; never leak the last one
    int loaded = Load_Bitmap_File(&bitmap, "marlotitle.bmp");
    Create_Bitmap_Image(&background_bmp, TITLE_X, TITLE_Y, TITLE_W, TITLE_H, 16);
    if (loaded) Load_Bitmap_Image16(&background_bmp, &bitmap, 0, 0, EXTRACT_ABSOLUTE);
    Unload_Bitmap_File(&bitmap);
}

// The part of a frame both screens share: clear, read the keys, move the stars, then draw the
// picture opaquely and the stars over it into the locked back surface.
void Draw_Screen_Background(int *frame_counter) {
    Start_Clock();
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    DInput_Read_Keyboard();
    if (frame_counter) (*frame_counter)++;
    Move_Stars();
    if (DDraw_Lock_Back_Surface()) {
        Draw_Bitmap_Image16(&background_bmp, sback_buffer, back_lpitch, 0);
        Draw_Stars();
        DDraw_Unlock_Back_Surface();
    }
}

} // namespace

int Run_Title_Screen() {
    player_yv = SCREEN_STAR_SPEED;
    Load_Title_Picture();
    int done = 0;
    while (!done) {
        Draw_Screen_Background(nullptr);
        // Over the stars, under the picture: nothing the game records depends on the text.
        for (int i = 0; i < card_count; i++)
            Draw_Text_GDI(card_lines[i], TITLE_CARD_X + (i % CARD_COLUMNS) * TITLE_CARD_COLUMN_W,
                          TITLE_CARD_Y + (i / CARD_COLUMNS) * TITLE_CARD_ROW_H, TITLE_CARD_COLOR,
                          lpddsback);
        if (best_line[0])
            Draw_Text_GDI(best_line, TITLE_BEST_X, TITLE_CARD_Y + TITLE_CARD_ROW_H,
                          TITLE_CARD_COLOR, lpddsback);
        DDraw_Flip();
        // Through the frame hook: a shell that runs the title unseen takes the wait.
        Wait_Frame(SCREEN_FRAME_MS);
        const int left = title_frame_hook && title_frame_hook();
        done = left || Escape_Down();
    }
    player_yv = 0.0f;
    escape_armed = 0;
    Destroy_Bitmap_Image(&background_bmp);
    return (int)Wait_Frame(TITLE_HOLD_MS);
}

int Run_Credits_Screen() {
    static char line1[256], line2[256];
    line1[0] = line2[0] = 0;
    player_yv = SCREEN_STAR_SPEED;
    Load_Title_Picture();
    int frame = 0, done = 0;
    while (!done) {
        Draw_Screen_Background(&frame);
        if (const char *l1 = Credits_Caption(frame, 1)) {
            snprintf(line1, sizeof(line1), "%s", l1);
            snprintf(line2, sizeof(line2), "%s", Credits_Caption(frame, 2));
        }
        if (frame >= CREDITS_LAST_FRAME) done = 1;
        if (line1[0]) Draw_Text_GDI(line1, 320, 200, CAPTION_COLOR, lpddsback);
        if (line2[0]) Draw_Text_GDI(line2, 360, 250, CAPTION_COLOR, lpddsback);
        DDraw_Flip();
        Wait_Clock(SCREEN_FRAME_MS);
        if (Escape_Down()) done = 1;
    }
    player_yv = 0.0f;
    Destroy_Bitmap_Image(&background_bmp);
    return (int)Wait_Clock(CREDITS_HOLD_MS);
}
