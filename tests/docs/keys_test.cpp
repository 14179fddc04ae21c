// The keys: --help, the man page's key table and the README's key table name the same keys. Each
// source is read for key names only, so the wording around them may differ.
#include "tests/docs/doc_files.h"
#include "shell/options.h"
#include <cctype>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using KEYS = std::set<std::string>;

// The words that name a key on their own, with the spellings taken for the same key.
const std::pair<const char *, const char *> key_words[] = {
    {"Left", "Left"},  {"Right", "Right"},  {"Up", "Up"},         {"Down", "Down"},
    {"Tab", "Tab"},    {"Enter", "Enter"},  {"Return", "Enter"},  {"Escape", "Escape"},
    {"Esc", "Escape"}, {"Pause", "Pause"},  {"Space", "Space"},   {"Backspace", "Backspace"},
    {"Home", "Home"},  {"End", "End"},      {"Insert", "Insert"}, {"Delete", "Delete"},
    {"Ctrl", "Ctrl"},  {"Control", "Ctrl"}, {"Alt", "Alt"},       {"Shift", "Shift"},
    {"Menu", "Menu"},
};

// Left and Right before one of these name one key (Left Ctrl), not two.
bool Is_Modifier(const std::string &key) {
    return key == "Ctrl" || key == "Alt" || key == "Shift";
}

// The key a word names, or "" when it names none: a key word, F1 to F24, or a capital letter
// (but A and I, which begin sentences).
std::string Key_Of(const std::string &word) {
    for (const auto &k : key_words)
        if (word == k.first) return k.second;
    if (word.size() >= 2 && word.size() <= 3 && word[0] == 'F' &&
        word.find_first_not_of("0123456789", 1) == std::string::npos) {
        int n = std::stoi(word.substr(1));
        if (n >= 1 && n <= 24) return word;
    }
    if (word.size() == 1 && word[0] >= 'B' && word[0] <= 'Z' && word[0] != 'I') return word;
    return "";
}

// The key names in a piece of text: "Left / Right" gives Left and Right, "P or Pause" P and
// Pause, "Left Ctrl" one key.
KEYS Key_Names(const std::string &text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (std::isalnum((unsigned char)c)) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    KEYS keys;
    for (size_t i = 0; i < words.size(); i++) {
        std::string key = Key_Of(words[i]);
        if (key.empty()) continue;
        std::string next = i + 1 < words.size() ? Key_Of(words[i + 1]) : "";
        if ((key == "Left" || key == "Right") && Is_Modifier(next)) {
            key += " " + next;
            i++;
        }
        keys.insert(key);
    }
    return keys;
}

// --help: the lines from the one that starts with "keys" to the next blank line. A line set out
// in columns gives its first column; a line of prose is read whole.
KEYS Help_Keys(const std::string &help) {
    KEYS keys;
    bool in_keys = false;
    for (const std::string &line : Doc_Lines(help)) {
        std::string part = line;
        if (!in_keys) {
            if (line.rfind("keys", 0) != 0 && line.rfind("Keys", 0) != 0) continue;
            in_keys = true;
            part = line.substr(4); // the heading word is no key
        } else if (line.find_first_not_of(' ') == std::string::npos) {
            break;
        }
        size_t start = part.find_first_not_of(' ');
        size_t gap = start == std::string::npos ? std::string::npos : part.find("  ", start);
        if (gap != std::string::npos) part = part.substr(0, gap);
        KEYS found = Key_Names(part);
        keys.insert(found.begin(), found.end());
    }
    return keys;
}

// The man page: the tags (.B lines after .TP) of the KEYS section.
KEYS Man_Keys(const std::string &page) {
    KEYS keys;
    bool in_keys = false, tagged = false;
    for (const std::string &line : Doc_Lines(page)) {
        if (line.rfind(".SH", 0) == 0) in_keys = line.find("KEYS") != std::string::npos;
        if (!in_keys) continue;
        if (tagged && line.rfind(".B ", 0) == 0) {
            // Font changes (\fB, \fR) are not words of the tag.
            std::string tag = line.substr(3);
            for (size_t at; (at = tag.find("\\f")) != std::string::npos;)
                tag.erase(at, 3);
            KEYS found = Key_Names(tag);
            keys.insert(found.begin(), found.end());
        }
        tagged = line.rfind(".TP", 0) == 0;
    }
    return keys;
}

// A Markdown document: the first column of the table under the "## Keys" heading.
KEYS Readme_Keys(const std::string &readme) {
    KEYS keys;
    bool in_keys = false;
    int row = 0;
    for (const std::string &line : Doc_Lines(readme)) {
        if (line.rfind("## ", 0) == 0) in_keys = line == "## Keys";
        if (!in_keys || line.rfind("|", 0) != 0) continue;
        // The first row heads the table and the second sets its columns out.
        if (++row <= 2) continue;
        KEYS found = Key_Names(line.substr(1, line.find('|', 1) - 1));
        keys.insert(found.begin(), found.end());
    }
    return keys;
}

// "" when a and b hold the same keys, else which side lacks which keys.
std::string Difference(const KEYS &a, const char *a_name, const KEYS &b, const char *b_name) {
    std::string only_a, only_b;
    for (const std::string &k : a)
        if (!b.count(k)) only_a += " [" + k + "]";
    for (const std::string &k : b)
        if (!a.count(k)) only_b += " [" + k + "]";
    std::string diff;
    if (!only_a.empty())
        diff += std::string("\n  in ") + a_name + ", not in " + b_name + ":" + only_a;
    if (!only_b.empty())
        diff += std::string("\n  in ") + b_name + ", not in " + a_name + ":" + only_b;
    return diff;
}

TEST(Keys, NamesAreReadFromTablesAndProse) {
    struct {
        const char *text;
        KEYS keys;
    } cases[] = {
        {"Left / Right", {"Left", "Right"}},
        {"Left, Right", {"Left", "Right"}},
        {"P or Pause", {"P", "Pause"}},
        {"Left Ctrl", {"Left Ctrl"}},
        {"Right Alt and Esc", {"Right Alt", "Escape"}},
        {"Return, F5, F10, F11", {"Enter", "F5", "F10", "F11"}},
        {"A key: R resets, D shows the readout", {"R", "D"}},
        {"arrows fly, Left Ctrl fires, P or Pause pauses", {"Left Ctrl", "P", "Pause"}},
        {"F0 F25 Fire fire 0x1D", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Key_Names(c.text), c.keys) << c.text;
}

TEST(Keys, EachSourceIsReadWhereItListsKeys) {
    EXPECT_EQ(
        Help_Keys("usage: x [--window]\n  --window   Up the window\nkeys: Tab burns, P pauses\n"
                  "  F11, Escape           leave (Up is not read here)\n\nAfter the keys: Down\n"),
        (KEYS{"Tab", "P", "F11", "Escape"}));
    EXPECT_EQ(Man_Keys(".SH OPTIONS\n.TP\n.B Up\n.SH KEYS\n.TP\n.B Left, \\fBRight\\fR\nturn "
                       "Up\n.TP\n.B F5\n.B Tab\n.SH FILES\n.TP\n.B Down\n"),
              (KEYS{"Left", "Right", "F5"}));
    EXPECT_EQ(Readme_Keys("## Options\n| A | B |\n|---|---|\n| Up | x |\n## Keys\n\n| Key | "
                          "Action |\n|---|---|\n| Tab | thrust Up |\n| P or Pause | x |\n## Next\n"
                          "|---|---|\n| Down | x |\n"),
              (KEYS{"Tab", "P", "Pause"}));
}

// The man page is the reference: --help and the README's table must name the same keys.
TEST(Keys, HelpManPageAndReadmeNameTheSameKeys) {
    KEYS man = Man_Keys(Read_Doc("dist/farwake.6"));
    KEYS help = Help_Keys(Shell_Help_Text("farwake"));
    KEYS readme = Readme_Keys(Read_Doc("README.md"));
    ASSERT_GE(man.size(), 10u) << "dist/farwake.6 has no KEYS table to compare with";
    std::string help_diff = Difference(man, "the man page", help, "--help");
    EXPECT_TRUE(help_diff.empty()) << "--help and dist/farwake.6 list other keys:" << help_diff;
    std::string readme_diff = Difference(man, "the man page", readme, "the README's key table");
    EXPECT_TRUE(readme_diff.empty())
        << "README.md and dist/farwake.6 list other keys:" << readme_diff;
}

} // namespace
