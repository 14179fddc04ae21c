// Parsing replay key scripts and the keys they hold at each keyboard read.
#include "engine/input/key_script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "engine/graphics/datafile.h"
#include "engine/input/dik_names.h"

int Parse_Key_Script(const std::string &text, KEY_SCRIPT_TYP *script, std::string *error) {
    script->spans.clear();
    script->comments.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        size_t hash = line.find('#');
        if (hash != std::string::npos) {
            if (line.find_first_not_of(" \t") == hash)
                script->comments.push_back({number, line.substr(hash + 1)});
            line.resize(hash);
        }
        std::istringstream words(line);
        std::string range;
        if (!(words >> range)) continue;
        KEY_SPAN_TYP span{};
        char *end = nullptr;
        long first = strtol(range.c_str(), &end, 10);
        long last = first;
        if (end != range.c_str() && *end == '-') {
            const char *rest = end + 1;
            last = strtol(rest, &end, 10);
            if (end == rest) end = (char *)range.c_str(); // forces the error below
        }
        if (end == range.c_str() || *end != '\0' || first < 0 || last < first ||
            last > 2000000000L) {
            *error = "line " + std::to_string(number) + ": bad read range \"" + range + "\"";
            return 0;
        }
        span.first = (int)first;
        span.last = (int)last;
        std::string key;
        while (words >> key) {
            int code = Dik_From_Name(key.c_str());
            if (code < 0) {
                *error = "line " + std::to_string(number) + ": unknown key \"" + key + "\"";
                return 0;
            }
            span.keys.push_back(code);
        }
        if (span.keys.empty()) {
            *error = "line " + std::to_string(number) + ": no key named";
            return 0;
        }
        script->spans.push_back(span);
    }
    return 1;
}

int Read_Key_Script_Text(const char *path, std::string *text, std::string *error) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!Read_Bounded_File(path, KEY_SCRIPT_MAX_BYTES, bytes, &why)) {
        *error = why;
        return 0;
    }
    text->assign(bytes.begin(), bytes.end());
    return 1;
}

int Load_Key_Script(const char *path, KEY_SCRIPT_TYP *script, std::string *error) {
    std::string text;
    return Read_Key_Script_Text(path, &text, error) && Parse_Key_Script(text, script, error);
}

void Keys_At_Read(const KEY_SCRIPT_TYP &script, int read_index, uint8_t state[256]) {
    memset(state, 0, 256);
    for (const KEY_SPAN_TYP &s : script.spans)
        if (read_index >= s.first && read_index <= s.last)
            for (int k : s.keys)
                state[k & 255] = 0x80;
    // Escape goes down and up on alternate reads: a game frame only takes an Escape it has seen
    // let go since the title, so a key merely held would never end the run.
    if (script.escape_from >= 0 && read_index >= script.escape_from &&
        (read_index - script.escape_from) % 2 == 0)
        state[0x01] = 0x80;
}
