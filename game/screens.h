// The title screen shown before the first frame and the credits screen shown after the last:
// the title picture over a star field streaming up the screen, with captions on the credits.
#pragma once
#include "engine/graphics/bitmap.h"

// The title picture: 600 x 500 at 16 bits per pixel, placed at (100, 50); made anew by each screen.
extern BITMAP_IMAGE_TYP background_bmp;

// 0 from the end of the title screen until a game frame's keyboard read sees Escape up; Escape
// ends the game only while it is 1.
extern int escape_armed;

// Lines of the key card the title shows in the band under its picture (count 0: none); they are
// copied. The credits show no card.
void Title_Set_Card(const char *const *lines, int count);
// The card's place: the band under the picture, two rows of four columns, line i at
// (TITLE_CARD_X + (i % 4) * TITLE_CARD_COLUMN_W, TITLE_CARD_Y + (i / 4) * TITLE_CARD_ROW_H), in
// colour TITLE_CARD_COLOR (a pale amber no other text of the screens uses).
constexpr int TITLE_CARD_X = 24;
constexpr int TITLE_CARD_Y = 556;
constexpr int TITLE_CARD_COLUMN_W = 194;
constexpr int TITLE_CARD_ROW_H = 20;
constexpr unsigned int TITLE_CARD_COLOR = 0x0070D0F0;
// One more line on the card's band, at its right end under the last column ("Best 12400");
// null or "" shows none, and the title is drawn as without it.
void Title_Set_Best(const char *text);
constexpr int TITLE_BEST_X = 712;

// Shows the title screen until Escape, then holds 200 ms so the key can be let go; returns the
// result of that final wait.
int Run_Title_Screen();
// Shows the credits for 1201 frames or until Escape, then waits 100 ms; returns that wait's result.
int Run_Credits_Screen();
// The credits caption that a frame puts up: line 1 or 2 of the row starting at that frame, or
// null when the frame changes no caption.
const char *Credits_Caption(int frame, int line);
