// One-line notices over the picture on the screen (an output that could not be written, say):
// shown for a few seconds, drawn at presentation only, so no game frame or its CRC changes.
#pragma once
#include <cstdint>

// How long a notice stays on the screen.
constexpr uint32_t SHELL_NOTICE_MS = 5000;

// Shows text (one line; longer text is cut) over the picture for SHELL_NOTICE_MS.
void Shell_Notice(const char *text);
// The notice on the screen now, or "" when none is.
const char *Shell_Notice_Text();
