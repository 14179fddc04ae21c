// The SDL backend's text: a bold sans face through SDL2_ttf, rendered without anti-aliasing.
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"
#include <SDL_ttf.h>
#include <cstring>

static const char *const FONT_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

static TTF_Font *font = nullptr;

int Plat_Font_Open(int pixel_height) {
    Plat_Font_Close();
    if (pixel_height <= 0) return 0;
    if (!TTF_WasInit() && TTF_Init() != 0) {
        Sdl_Set_Error("cannot start the text renderer");
        return 0;
    }
    // The largest size whose lines fit the asked height, so text sits like a system font's.
    for (int size = pixel_height; size >= 1; size--) {
        TTF_Font *f = TTF_OpenFont(FONT_PATH, size);
        if (!f) {
            Sdl_Set_Error("cannot open the font");
            return 0;
        }
        if (TTF_FontHeight(f) <= pixel_height || size == 1) {
            font = f;
            return 1;
        }
        TTF_CloseFont(f);
    }
    return 0;
}

void Plat_Font_Close() {
    if (font) TTF_CloseFont(font);
    font = nullptr;
}

int Plat_Text_Mask(const char *text, std::vector<uint8_t> &mask, int *w, int *h) {
    if (!font || !text) return 0;
    if (!*text) {
        mask.clear();
        if (w) *w = 0;
        if (h) *h = TTF_FontHeight(font);
        return 1;
    }
    SDL_Surface *s = TTF_RenderText_Solid(font, text, SDL_Color{255, 255, 255, 255});
    if (!s) return 0;
    // A solid rendering is 8-bit: index 0 is the background, anything else a glyph pixel.
    int ok = s->format->BytesPerPixel == 1 && !SDL_LockSurface(s);
    if (ok) {
        mask.assign((size_t)s->w * (size_t)s->h, 0);
        for (int y = 0; y < s->h; y++) {
            const uint8_t *row = (const uint8_t *)s->pixels + (size_t)y * (size_t)s->pitch;
            for (int x = 0; x < s->w; x++)
                mask[(size_t)y * s->w + x] = row[x] != 0;
        }
        if (w) *w = s->w;
        if (h) *h = s->h;
        SDL_UnlockSurface(s);
    }
    SDL_FreeSurface(s);
    return ok;
}
