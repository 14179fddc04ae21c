// Reading the source tree's documents for the docs tests: whole files and their lines.
#pragma once
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
