// Saving only what changed: the keys two sets of settings write differently, and putting them into
// the file as it is on disk with every other line (another game's keys, a newer version's
// sections, the player's comments) kept where it was.
#include <cstddef>
#include <string>
#include <vector>

#include "shell/settings.h"

namespace {

// One line of a file, sorted, with the section it sits in ("" before any section and under a
// broken section line, which no key names).
struct LINE_TYP {
    std::string raw; // without its newline
    std::string section, key;
    int kind = SETTINGS_LINE_SKIP;
};

// One key as Settings_Text writes it: the comment lines just above it and its line.
struct ENTRY_TYP {
    SETTINGS_KEY_TYP key;
    std::vector<std::string> comment;
    std::string line;
};

bool Same_Key(const SETTINGS_KEY_TYP &a, const SETTINGS_KEY_TYP &b) {
    return a.section == b.section && a.key == b.key;
}

std::vector<LINE_TYP> Split(const std::string &text) {
    std::vector<LINE_TYP> lines;
    std::string section, name, value;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        LINE_TYP l;
        l.raw = text.substr(at, end - at);
        at = end + 1;
        l.kind = Settings_Line(l.raw, &name, &value);
        if (l.kind == SETTINGS_LINE_SECTION) section = name;
        l.section = section;
        if (l.kind == SETTINGS_LINE_ENTRY) l.key = name;
        lines.push_back(l);
    }
    return lines;
}

std::vector<ENTRY_TYP> Entries(const SETTINGS_TYP &s) {
    std::vector<ENTRY_TYP> out;
    std::vector<std::string> comment;
    for (const LINE_TYP &l : Split(Settings_Text(s))) {
        if (l.kind == SETTINGS_LINE_ENTRY) {
            out.push_back({{l.section, l.key}, comment, l.raw});
            comment.clear();
        } else if (l.kind == SETTINGS_LINE_SKIP && !l.raw.empty()) {
            comment.push_back(l.raw);
        } else {
            comment.clear();
        }
    }
    return out;
}

const ENTRY_TYP *Find(const std::vector<ENTRY_TYP> &entries, const SETTINGS_KEY_TYP &key) {
    for (const ENTRY_TYP &e : entries)
        if (Same_Key(e.key, key)) return &e;
    return nullptr;
}

// body (no BOM) with the lines of keys replaced or added.
std::string Merge_Once(const std::string &body, const std::vector<ENTRY_TYP> &entries,
                       const std::vector<SETTINGS_KEY_TYP> &keys) {
    std::vector<LINE_TYP> lines = Split(body);
    // A file written with CR LF gets its new lines the same way.
    const std::string eol =
        !lines.empty() && !lines[0].raw.empty() && lines[0].raw.back() == '\r' ? "\r\n" : "\n";
    std::vector<const ENTRY_TYP *> missing;
    for (const SETTINGS_KEY_TYP &k : keys) {
        const ENTRY_TYP *e = Find(entries, k);
        if (!e) continue;
        bool found = false;
        // Every line of the key is set, so no earlier or later copy of it says otherwise.
        for (LINE_TYP &l : lines)
            if (l.kind == SETTINGS_LINE_ENTRY && Same_Key({l.section, l.key}, k)) {
                bool cr = !l.raw.empty() && l.raw.back() == '\r';
                l.raw = e->line + (cr ? "\r" : "");
                found = true;
            }
        if (!found) missing.push_back(e);
    }
    // A missing key goes after the last line of its section's last appearance; a section the
    // file lacks is made at its end.
    std::vector<std::string> after(lines.size()), made_sections, made_text;
    for (const ENTRY_TYP *e : missing) {
        size_t at = lines.size();
        for (size_t i = 0; i < lines.size(); i++)
            if (lines[i].section == e->key.section && lines[i].kind != SETTINGS_LINE_SKIP) at = i;
        std::string text;
        for (const std::string &c : e->comment)
            text += c + eol;
        text += e->line + eol;
        if (at < lines.size()) {
            after[at] += text;
            continue;
        }
        size_t j = 0;
        while (j < made_sections.size() && made_sections[j] != e->key.section)
            j++;
        if (j == made_sections.size()) {
            made_sections.push_back(e->key.section);
            made_text.push_back("[" + e->key.section + "]" + eol);
        }
        made_text[j] += text;
    }
    std::string out;
    for (size_t i = 0; i < lines.size(); i++)
        out += lines[i].raw + "\n" + after[i];
    for (const std::string &t : made_text)
        out += (out.empty() ? "" : eol) + t;
    return out;
}

// Problems a file's text reads with, and the settings it gives.
size_t Read_Back(const std::string &body, SETTINGS_TYP *s) {
    std::vector<std::string> problems;
    Settings_Parse(body, "", s, &problems);
    return problems.size();
}

} // namespace

std::vector<SETTINGS_KEY_TYP> Settings_Keys() {
    std::vector<SETTINGS_KEY_TYP> keys;
    for (const ENTRY_TYP &e : Entries(SETTINGS_TYP{}))
        keys.push_back(e.key);
    return keys;
}

std::vector<SETTINGS_KEY_TYP> Settings_Changed(const SETTINGS_TYP &a, const SETTINGS_TYP &b) {
    std::vector<ENTRY_TYP> from = Entries(a);
    std::vector<SETTINGS_KEY_TYP> changed;
    for (const ENTRY_TYP &e : Entries(b)) {
        const ENTRY_TYP *old = Find(from, e.key);
        if (!old || old->line != e.line) changed.push_back(e.key);
    }
    return changed;
}

std::string Settings_Merge(const std::string &text, const SETTINGS_TYP &s,
                           const std::vector<SETTINGS_KEY_TYP> &keys) {
    const std::string body = Settings_Without_Bom(text);
    const std::string bom = text.substr(0, text.size() - body.size());
    std::vector<ENTRY_TYP> entries = Entries(s);
    std::string merged = Merge_Once(body, entries, keys);
    // The keys must read back as s has them, and no line the merge touched may turn bad: a key
    // another game gave one action while this one gave it another breaks both otherwise.
    SETTINGS_TYP before, after;
    size_t problems_before = Read_Back(body, &before);
    size_t problems_after = Read_Back(merged, &after);
    bool kept = problems_after <= problems_before;
    for (const SETTINGS_KEY_TYP &k : Settings_Changed(after, s))
        for (const SETTINGS_KEY_TYP &mine : keys)
            if (Same_Key(k, mine)) kept = false;
    if (kept) return bom + merged;
    std::vector<SETTINGS_KEY_TYP> whole;
    for (const ENTRY_TYP &e : entries)
        for (const SETTINGS_KEY_TYP &mine : keys)
            if (e.key.section == mine.section) {
                whole.push_back(e.key);
                break;
            }
    return bom + Merge_Once(body, entries, whole);
}
