// The documents' links: every relative link in README.md and docs/ reaches a file or folder of
// the tree (and a heading, when it names one), the README sends the reader to every docs/ file,
// stays a front page, and shows the test command CI runs.
#include "tests/docs/doc_files.h"
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct LINK {
    int line;           // 1-based line of the document
    std::string target; // as written, anchor included
};

// Inline code spans removed, so that `[a](b)` shown as code is not taken for a link.
std::string Without_Code_Spans(const std::string &line) {
    std::string out;
    bool in_code = false;
    for (char c : line) {
        if (c == '`')
            in_code = !in_code;
        else if (!in_code)
            out += c;
    }
    return out;
}

// Fenced and indented code blocks hold examples, not links.
bool Opens_Or_Closes_Fence(const std::string &line) {
    size_t i = line.find_first_not_of(' ');
    return i != std::string::npos && i < 4 && line.compare(i, 3, "```") == 0;
}

bool Is_Indented_Code(const std::string &line, bool after_blank_or_code) {
    return after_blank_or_code && (line.rfind("    ", 0) == 0 || line.rfind("\t", 0) == 0);
}

// Every inline link, image and reference definition outside code.
std::vector<LINK> Links_In(const std::string &text) {
    static const std::regex inline_link(R"(\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\))");
    static const std::regex reference(R"(^\s{0,3}\[[^\]]+\]:\s*<?([^\s>]+)>?)");
    std::vector<LINK> links;
    bool fenced = false, code_allowed = true, in_code = false;
    int number = 0;
    for (const std::string &raw : Doc_Lines(text)) {
        number++;
        if (Opens_Or_Closes_Fence(raw)) {
            fenced = !fenced;
            continue;
        }
        bool blank = raw.find_first_not_of(" \t") == std::string::npos;
        in_code = !blank && Is_Indented_Code(raw, code_allowed || in_code);
        code_allowed = blank;
        if (fenced || in_code) continue;
        std::string line = Without_Code_Spans(raw);
        for (std::sregex_iterator m(line.begin(), line.end(), inline_link), end; m != end; ++m)
            links.push_back({number, (*m)[1]});
        std::smatch ref;
        if (std::regex_search(line, ref, reference)) links.push_back({number, ref[1]});
    }
    return links;
}

// The anchor a forge gives a heading: lower case, punctuation dropped, spaces as hyphens.
std::string Heading_Slug(std::string heading) {
    static const std::regex link_text(R"(\[([^\]]*)\]\([^)]*\))");
    heading = std::regex_replace(heading, link_text, "$1");
    std::string slug;
    for (unsigned char c : heading) {
        if (std::isalnum(c) || c == '-' || c == '_' || c >= 0x80)
            slug += (char)std::tolower(c);
        else if (c == ' ')
            slug += '-';
    }
    return slug;
}

// The anchors of a document's headings (outside code), numbered the way a forge numbers
// repeated ones.
std::set<std::string> Anchors_Of(const std::string &text) {
    std::set<std::string> anchors;
    bool fenced = false;
    for (const std::string &line : Doc_Lines(text)) {
        if (Opens_Or_Closes_Fence(line)) fenced = !fenced;
        if (fenced || line.empty() || line[0] != '#') continue;
        size_t text_at = line.find_first_not_of('#');
        if (text_at == std::string::npos || text_at > 6 || line[text_at] != ' ') continue;
        std::string slug = Heading_Slug(line.substr(text_at + 1));
        std::string unique = slug;
        for (int n = 1; anchors.count(unique); n++)
            unique = slug + "-" + std::to_string(n);
        anchors.insert(unique);
    }
    return anchors;
}

bool Is_External(const std::string &target) {
    static const std::regex scheme(R"(^[A-Za-z][A-Za-z0-9+.-]*:)");
    return std::regex_search(target, scheme);
}

// What is wrong with each relative link of a document at doc (a path under root), one line each.
std::vector<std::string> Broken_Links(const fs::path &root, const std::string &doc,
                                      const std::string &text) {
    std::vector<std::string> broken;
    const fs::path folder = fs::path(doc).parent_path();
    for (const LINK &link : Links_In(text)) {
        const std::string where = doc + ":" + std::to_string(link.line) + ": ";
        if (Is_External(link.target)) continue;
        if (link.target[0] == '/') {
            broken.push_back(where + "'" + link.target + "' is a path on one machine");
            continue;
        }
        size_t hash = link.target.find('#');
        std::string path = link.target.substr(0, hash);
        std::string anchor = hash == std::string::npos ? "" : link.target.substr(hash + 1);
        if (path.empty()) {
            if (!Anchors_Of(text).count(anchor))
                broken.push_back(where + "'" + link.target + "': no such heading");
            continue;
        }
        fs::path inside = (folder / path).lexically_normal();
        if (inside.empty() || *inside.begin() == "..") {
            broken.push_back(where + "'" + link.target + "' leads out of the source tree");
            continue;
        }
        if (!fs::exists(root / inside)) {
            broken.push_back(where + "'" + link.target + "' points at nothing");
            continue;
        }
        if (!anchor.empty() && inside.extension() == ".md") {
            std::ifstream in(root / inside, std::ios::binary);
            std::string target_text((std::istreambuf_iterator<char>(in)), {});
            if (!Anchors_Of(target_text).count(anchor))
                broken.push_back(where + "'" + link.target + "': no such heading");
        }
    }
    return broken;
}

std::string Joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
        text += "  " + line + "\n";
    return text;
}

// The checker itself, on a small tree of its own: each kind of fault is found, and what is not
// a link (code, external addresses) is left alone.
TEST(Links, TheCheckerFindsEachKindOfFault) {
    const fs::path root = fs::temp_directory_path() / ("fw_links_" + std::to_string(::getpid()));
    fs::create_directories(root / "docs");
    std::ofstream(root / "docs" / "b.md") << "# B\n\n## Two words, and `code`\n\n## B\n";
    struct {
        const char *text;
        size_t faults;
    } cases[] = {
        {"[b](b.md) [top](b.md#b) [sec](b.md#two-words-and-code) [again](b.md#b-1)", 0},
        {"[up](../docs/) [self](#here)\n\n# Here", 0},
        {"[web](https://example.org/x) [mail](mailto:a@b.c)", 0},
        {"```\n[gone](nothing.md)\n```\n\n    [gone](nothing.md)\n\n`[gone](nothing.md)`", 0},
        {"[gone](nothing.md)", 1},
        {"[ref]: nothing.md", 1},
        {"![picture](missing.png \"title\")", 1},
        {"[b](b.md#missing) [self](#missing)", 2},
        {"[abs](/etc/passwd) [out](../../x)", 2},
    };
    for (const auto &c : cases) {
        std::vector<std::string> broken = Broken_Links(root, "docs/a.md", c.text);
        EXPECT_EQ(broken.size(), c.faults) << c.text << "\n" << Joined(broken);
    }
    fs::remove_all(root);
}

TEST(Links, EveryRelativeLinkReachesAFile) {
    std::vector<std::string> broken;
    for (const std::string &doc : Documents()) {
        std::string text = Read_Doc(doc);
        ASSERT_FALSE(text.empty()) << doc << " is empty or unreadable";
        for (const std::string &fault : Broken_Links(FW_SOURCE_DIR, doc, text))
            broken.push_back(fault);
    }
    EXPECT_TRUE(broken.empty()) << "broken links:\n" << Joined(broken);
}

TEST(Links, TheReadmeSendsTheReaderToEveryDocument) {
    std::set<std::string> linked;
    for (const LINK &link : Links_In(Read_Doc("README.md")))
        linked.insert(link.target.substr(0, link.target.find('#')));
    std::vector<std::string> missing;
    for (const std::string &doc : Documents())
        if (doc != "README.md" && !linked.count(doc)) missing.push_back(doc);
    EXPECT_TRUE(missing.empty()) << "README.md does not link to:\n" << Joined(missing);
}

// A front page a newcomer reads in two minutes.
TEST(Links, TheReadmeStaysAFrontPage) {
    EXPECT_LE(Doc_Lines(Read_Doc("README.md")).size(), 150u);
}

// CI runs the command the README gives for testing, as written there.
TEST(Links, TheReadmeShowsTheCommandCiRuns) {
    std::string command;
    for (const std::string &line : Doc_Lines(Read_Doc(".ci/run")))
        if (line.rfind("exec ", 0) == 0) command = line.substr(5);
    ASSERT_FALSE(command.empty()) << ".ci/run has no exec line";
    std::vector<std::string> readme = Doc_Lines(Read_Doc("README.md"));
    EXPECT_NE(std::find(readme.begin(), readme.end(), "    " + command), readme.end())
        << "README.md does not show '" << command << "' as a command";
}

} // namespace
