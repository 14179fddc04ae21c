// No file outside platform/ (and the benchmarks that compare against SDL) includes an SDL header.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Source files under root, outside the folders allowed to see SDL, that include an SDL header.
std::vector<std::string> sdl_includes_outside_the_wall(const fs::path &root) {
    static const std::regex include_sdl(
        R"(^\s*#\s*include\s*[<"](SDL2/)?SDL[_.A-Za-z0-9]*\.h[>"])");
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        fs::path rel = it->path().lexically_relative(root);
        std::string top = rel.begin() == rel.end() ? "" : rel.begin()->string();
        if (it->is_directory()) {
            if (top == "platform" || top == "bench" || top.rfind("build", 0) == 0 || top[0] == '.')
                it.disable_recursion_pending();
            continue;
        }
        std::string ext = rel.extension().string();
        if (ext != ".h" && ext != ".hpp" && ext != ".cpp" && ext != ".cc" && ext != ".c") continue;
        std::ifstream in(it->path());
        std::string line;
        while (std::getline(in, line)) {
            if (std::regex_search(line, include_sdl)) {
                found.push_back(rel.string() + ": " + line);
                break;
            }
        }
    }
    return found;
}

TEST(SdlWall, NoSdlHeaderOutsidePlatformAndBench) {
    std::vector<std::string> found = sdl_includes_outside_the_wall(FW_SOURCE_DIR);
    std::string list;
    for (const std::string &f : found)
        list += "\n  " + f;
    EXPECT_TRUE(found.empty()) << "SDL included outside platform/:" << list;
}

TEST(SdlWall, TheCheckFindsAnOffenderAndSparesTheAllowedFolders) {
    fs::path root = fs::path(testing::TempDir()) / "fw_sdl_wall_check";
    fs::remove_all(root);
    fs::create_directories(root / "engine" / "graphics");
    fs::create_directories(root / "platform" / "sdl");
    fs::create_directories(root / "bench" / "x");
    std::ofstream(root / "platform" / "sdl" / "a.cpp") << "#include <" "SDL.h>\n";
    std::ofstream(root / "bench" / "x" / "b.cpp") << "#include <" "SDL2/SDL.h>\n";
    std::ofstream(root / "engine" / "graphics" / "fine.cpp") << "// mentions SDL.h in a comment\n";
    EXPECT_TRUE(sdl_includes_outside_the_wall(root).empty());
    std::ofstream(root / "engine" / "graphics" / "bad.cpp")
        << "int x;\n  #  include \"SDL_ttf.h\"\n";
    std::vector<std::string> found = sdl_includes_outside_the_wall(root);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find("bad.cpp"), std::string::npos);
    fs::remove_all(root);
}

} // namespace
