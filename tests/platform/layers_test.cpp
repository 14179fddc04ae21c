// The layers, checked from the sources: a file includes only headers of its own layer or of the
// layers below it (platform, engine, world, game, shell, tools), and no build file links through
// a rescan group, which is what an arrow from a lower layer to a higher one would need.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Rank of a top-level folder among the layers; -1 for folders outside them.
int Layer_Rank(const std::string &folder) {
    static const std::map<std::string, int> ranks = {{"platform", 0}, {"engine", 1}, {"world", 2},
                                                     {"game", 3},     {"shell", 4},  {"tools", 5},
                                                     {"tests", 6},    {"bench", 6},  {"fuzz", 6}};
    auto it = ranks.find(folder);
    return it == ranks.end() ? -1 : it->second;
}

std::string First_Part(const fs::path &p) {
    return p.begin() == p.end() ? "" : p.begin()->string();
}

// "file: line" for every include in platform/ .. tools/ that names a header of a higher layer.
std::vector<std::string> Upward_Includes(const fs::path &root) {
    static const std::regex include_line(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<std::string> found;
    for (const char *layer : {"platform", "engine", "world", "game", "shell", "tools"}) {
        std::error_code ec;
        if (!fs::is_directory(root / layer)) continue;
        for (auto it = fs::recursive_directory_iterator(root / layer, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec) break;
            std::string ext = it->path().extension().string();
            if (!it->is_regular_file() || (ext != ".h" && ext != ".cpp" && ext != ".c")) continue;
            std::ifstream in(it->path());
            std::string line;
            std::smatch m;
            while (std::getline(in, line)) {
                if (!std::regex_search(line, m, include_line)) continue;
                int to = Layer_Rank(First_Part(fs::path(m[1].str())));
                if (to > Layer_Rank(layer))
                    found.push_back(it->path().lexically_relative(root).string() + ": " + line);
            }
        }
    }
    return found;
}

// Build files under root (outside build folders) that ask for a rescanned link group.
std::vector<std::string> Rescan_Groups(const fs::path &root) {
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::string top = First_Part(it->path().lexically_relative(root));
        if (it->is_directory() && (top.rfind("build", 0) == 0 || top[0] == '.')) {
            it.disable_recursion_pending();
            continue;
        }
        std::string name = it->path().filename().string();
        if (name != "CMakeLists.txt" && it->path().extension() != ".cmake") continue;
        std::ifstream in(it->path());
        std::string line;
        while (std::getline(in, line))
            if (line.find("LINK_GROUP") != std::string::npos &&
                line.find("RESCAN") != std::string::npos)
                found.push_back(it->path().lexically_relative(root).string() + ": " + line);
    }
    return found;
}

std::string Listed(const std::vector<std::string> &v) {
    std::string s;
    for (const std::string &f : v)
        s += "\n  " + f;
    return s;
}

TEST(Layers, NoIncludeRunsFromALowerLayerToAHigherOne) {
    std::vector<std::string> found = Upward_Includes(FW_SOURCE_DIR);
    EXPECT_TRUE(found.empty()) << "includes that reach up a layer:" << Listed(found);
}

TEST(Layers, NoProgramLinksThroughARescanGroup) {
    std::vector<std::string> found = Rescan_Groups(FW_SOURCE_DIR);
    EXPECT_TRUE(found.empty()) << "rescanned link groups:" << Listed(found);
}

TEST(Layers, TheChecksFindOffendersAndSpareWhatIsAllowed) {
    fs::path root = fs::path(testing::TempDir()) / "fw_layers_check";
    fs::remove_all(root);
    for (const char *d : {"platform/sdl", "engine/sound", "world", "game", "tools/x", "tests/x"})
        fs::create_directories(root / d);
    // Down or sideways, system headers, and anything the tests include are all allowed.
    std::ofstream(root / "platform" / "sdl" / "a.cpp")
        << "#include \"platform/platform.h\"\n#include <" << "SDL.h>\n";
    std::ofstream(root / "engine" / "sound" / "b.cpp") << "#include \"engine/graphics/ddraw.h\"\n";
    std::ofstream(root / "game" / "c.cpp")
        << "#include \"world/world.h\"\n// #include \"shell/x.h\" in prose\n";
    std::ofstream(root / "tools" / "x" / "d.cpp") << "#include \"shell/winmain.h\"\n";
    std::ofstream(root / "tests" / "x" / "e.cpp") << "#include \"tools/x/d.h\"\n";
    std::ofstream(root / "CMakeLists.txt") << "target_link_libraries(x PRIVATE fw_world)\n";
    EXPECT_TRUE(Upward_Includes(root).empty()) << Listed(Upward_Includes(root));
    EXPECT_TRUE(Rescan_Groups(root).empty());
    // Each upward step is caught, the ground floor reaching the engine among them.
    std::ofstream(root / "platform" / "sdl" / "bad.cpp") << "  #  include \"engine/input/dik.h\"\n";
    std::ofstream(root / "world" / "bad.h") << "#include \"game/game.h\"\n";
    std::ofstream(root / "game" / "bad.cpp") << "#include \"tests/support/x.h\"\n";
    std::vector<std::string> found = Upward_Includes(root);
    ASSERT_EQ(found.size(), 3u) << Listed(found);
    std::ofstream(root / "tools" / "x" / "CMakeLists.txt")
        << "target_link_libraries(y PRIVATE \"$<LINK_GROUP:RESCAN,a,b>\")\n";
    EXPECT_EQ(Rescan_Groups(root).size(), 1u);
    fs::remove_all(root);
}

} // namespace
