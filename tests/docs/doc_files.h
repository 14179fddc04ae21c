// Reading the source tree's documents for the docs tests: whole files and their lines.
#pragma once
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The text of a file under the source tree (path relative to its root); "" when unreadable.
inline std::string Read_Doc(const std::string &relative) {
    std::ifstream in(std::string(FW_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Text split into lines, without their line ends.
inline std::vector<std::string> Doc_Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// README.md and every Markdown file in docs/, as paths under the source tree.
inline std::vector<std::string> Documents() {
    std::vector<std::string> docs = {"README.md"};
    const std::filesystem::path folder = std::filesystem::path(FW_SOURCE_DIR) / "docs";
    if (std::filesystem::is_directory(folder))
        for (const auto &entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".md")
                docs.push_back("docs/" + entry.path().filename().string());
    std::sort(docs.begin(), docs.end());
    return docs;
}
