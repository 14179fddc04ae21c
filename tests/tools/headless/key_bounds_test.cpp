// Key scripts are outside files too: only plain files up to their limit are read, folders and
// devices are refused with one line and a non-zero exit, and a run without --frames still ends.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/dik.h"
#include "engine/input/key_script.h"

namespace {

std::string Temp_Name(const char *name) {
    return ::testing::TempDir() + "fw_keybounds_" + std::to_string(getpid()) + "_" + name;
}

std::string Slurp(const std::string &path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs farwake-headless with args; its exit code, and what it wrote to stderr in *err.
int Run_Tool(const std::string &args, std::string *err) {
    std::string err_path = Temp_Name("err.txt");
    std::string cmd = std::string("'") + FW_HEADLESS + "' " + args + " 2>'" + err_path + "'";
    int rc = system(cmd.c_str());
    *err = Slurp(err_path);
    std::remove(err_path.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

int Lines(const std::string &s) {
    int n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

TEST(KeyBounds, FoldersDevicesAndPipesAreNotScripts) {
    KEY_SCRIPT_TYP s;
    std::string err;
    EXPECT_EQ(Load_Key_Script("/dev/zero", &s, &err), 0);
    EXPECT_NE(err.find("device"), std::string::npos) << err;
    err.clear();
    EXPECT_EQ(Load_Key_Script("/tmp", &s, &err), 0);
    EXPECT_NE(err.find("folder"), std::string::npos) << err;
    std::string fifo = Temp_Name("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    err.clear();
    EXPECT_EQ(Load_Key_Script(fifo.c_str(), &s, &err), 0); // refused, not waited on
    EXPECT_FALSE(err.empty());
    std::remove(fifo.c_str());
}

TEST(KeyBounds, AScriptUpToTheLimitIsReadAndOneByteMoreIsNot) {
    // One comment line filling the file but for a last line holding UP on read 5.
    std::string tail = "\n5 UP\n";
    std::string path = Temp_Name("big.txt");
    {
        std::ofstream out(path, std::ios::binary);
        out << '#' << std::string(KEY_SCRIPT_MAX_BYTES - 1 - tail.size(), 'x') << tail;
    }
    KEY_SCRIPT_TYP s;
    std::string err;
    ASSERT_EQ(Load_Key_Script(path.c_str(), &s, &err), 1) << err;
    uint8_t k[256];
    Keys_At_Read(s, 5, k);
    EXPECT_EQ(k[DIK_UP], 0x80);
    ASSERT_EQ(truncate(path.c_str(), (off_t)KEY_SCRIPT_MAX_BYTES + 1), 0);
    EXPECT_EQ(Load_Key_Script(path.c_str(), &s, &err), 0);
    EXPECT_NE(err.find(std::to_string(KEY_SCRIPT_MAX_BYTES + 1) + " bytes"), std::string::npos)
        << err;
    std::remove(path.c_str());
}

TEST(KeyBounds, TheToolRefusesThemWithOneLine) {
    std::string err;
    EXPECT_EQ(Run_Tool("--keys /dev/zero --frames 3", &err), 1);
    EXPECT_EQ(Lines(err), 1) << err;
    EXPECT_NE(err.find("/dev/zero: is a device"), std::string::npos) << err;
    EXPECT_EQ(Run_Tool("--keys /tmp --frames 3", &err), 1);
    EXPECT_EQ(Lines(err), 1) << err;
    EXPECT_NE(err.find("/tmp: is a folder"), std::string::npos) << err;
}

TEST(KeyBounds, HelpStatesTheDefaultLimit) {
    std::string err;
    EXPECT_EQ(Run_Tool("--help", &err), 2);
    EXPECT_NE(err.find("default 100000"), std::string::npos) << err;
}

TEST(KeyBounds, WithoutFramesTheRunEndsAfterTheDefaultReads) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the 100,000-read run is checked in the plain build only";
#endif
    // An empty script never presses Escape: only the default limit can end the run, and the
    // game's first frame then comes right after read 100,000.
    std::string keys = Temp_Name("none.txt"), state = Temp_Name("state.jsonl");
    { std::ofstream out(keys); }
    std::string err;
    ASSERT_EQ(Run_Tool("--keys '" + keys + "' --state '" + state + "'", &err), 0) << err;
    std::string lines = Slurp(state);
    std::remove(keys.c_str());
    std::remove(state.c_str());
    ASSERT_FALSE(lines.empty());
    long first = std::strtol(lines.c_str() + lines.find("\"read\":") + 7, nullptr, 10);
    EXPECT_GE(first, 100000);
    EXPECT_LE(first, 100010);
}

} // namespace
