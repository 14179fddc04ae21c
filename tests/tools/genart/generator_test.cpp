// The generator as a program: the same pictures on every run, and honest exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Slurp(const std::filesystem::path &p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Run_Genart(const std::string &args) {
    std::string cmd = std::string("\"") + FW_GENART + "\" " + args + " >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char *const kFiles[] = {"ship.bmp",
                              "craft01.bmp",
                              "bullets.bmp",
                              "missiles.bmp",
                              "station00.bmp",
                              "expl.bmp",
                              "powerups.bmp",
                              "radar.bmp",
                              "shields.bmp",
                              "rmissile.bmp",
                              "marlotitle.bmp",
                              "icons/farwake-48.png",
                              "icons/farwake-64.png",
                              "icons/farwake-128.png",
                              "icons/farwake-256.png"};

} // namespace

TEST(ArtGenerator, SecondRunDrawsTheSameBytes) {
    // Nothing may depend on time, addresses or uninitialised memory: a fresh run into another
    // folder must reproduce the build's pictures byte for byte.
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("fw-art-run-" + std::to_string(getpid()));
    ASSERT_EQ(Run_Genart("\"" + dir.string() + "\""), 0);
    for (const char *name : kFiles) {
        SCOPED_TRACE(name);
        std::string fresh = Slurp(dir / name),
                    built = Slurp(std::filesystem::path(FW_DATA_DIR) / name);
        EXPECT_FALSE(fresh.empty());
        EXPECT_TRUE(fresh == built);
    }
    std::filesystem::remove_all(dir);
}

TEST(ArtGenerator, ExitCodesTellFailure) {
    EXPECT_EQ(Run_Genart(""), 2) << "no folder named";
    EXPECT_EQ(Run_Genart("a b"), 2) << "too many arguments";
    // A folder that cannot be made (under a regular file) is a failure, not silence.
    std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("fw-art-file-" + std::to_string(getpid()));
    { std::ofstream(file) << "x"; }
    EXPECT_EQ(Run_Genart("\"" + (file / "sub").string() + "\""), 1);
    std::filesystem::remove(file);
}
