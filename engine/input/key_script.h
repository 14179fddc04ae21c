// Replay key scripts: lines "FIRST[-LAST] KEY [KEY ...]" holding keys down for ranges of keyboard
// reads, "#" starting a comment. Read from outside files, so every line is checked.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Largest key script read: at some 20 bytes a line, far more lines than any filed game needs.
constexpr uint64_t KEY_SCRIPT_MAX_BYTES = 16u << 20;

// One script line: keys held down for keyboard reads first..last.
struct KEY_SPAN_TYP {
    int first, last;
    std::vector<int> keys;
};

// A line that is only a comment (recordings keep their seed and checks in these).
struct KEY_COMMENT_TYP {
    int line;         // line number from 1
    std::string text; // what follows the '#'
};

// A parsed key script; lines that overlap add up.
struct KEY_SCRIPT_TYP {
    std::vector<KEY_SPAN_TYP> spans;
    std::vector<KEY_COMMENT_TYP> comments;
    int escape_from = -1; // Escape down on this read and every other one after it (-1: never)
};

// Parses script text; 1 on success, 0 with a message naming the line in *error.
int Parse_Key_Script(const std::string &text, KEY_SCRIPT_TYP *script, std::string *error);
// Reads and parses a script file (a plain file of at most KEY_SCRIPT_MAX_BYTES); 1 on success,
// 0 with a message in *error.
int Load_Key_Script(const char *path, KEY_SCRIPT_TYP *script, std::string *error);
// Reads a script or recording file (a plain file of at most KEY_SCRIPT_MAX_BYTES) as text; 1, or
// 0 with the reason in *error.
int Read_Key_Script_Text(const char *path, std::string *text, std::string *error);
// Fills the 256 scan-code bytes held down at keyboard read index (0x80 down, 0 up).
void Keys_At_Read(const KEY_SCRIPT_TYP &script, int read_index, uint8_t state[256]);
