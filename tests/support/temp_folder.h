// A test fixture with a folder of its own under /tmp, removed afterwards, and the helpers the
// farwake-headless round trips share: write and read a file there, run the tool.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class TempFolderTest : public ::testing::Test {
  protected:
    std::string dir;  // the test's own folder
    std::string data; // where the test started: the build folder, with the game's data
    void SetUp() override {
        char tmpl[] = "/tmp/fw_test_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        data = here;
    }
    void TearDown() override { EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }
    // Writes text to the file name in the folder.
    void Write(const std::string &name, const std::string &text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
    }
    // The whole file name in the folder ("" when missing).
    std::string Read(const std::string &name) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
#ifdef FW_HEADLESS
    // Runs farwake-headless with args in folder `in` (the data folder when empty), its output in
    // out.txt and err.txt; its exit status (-1 when it did not exit).
    int Run(const std::string &args, const std::string &in = "") {
        std::string cmd = "cd '" + (in.empty() ? data : in) + "' && '" + FW_HEADLESS + "' " + args +
                          " >'" + dir + "/out.txt' 2>'" + dir + "/err.txt'";
        int rc = std::system(cmd.c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    // Starts farwake-headless with args in the data folder, sends it signal sig once the files
    // `recordings` (a shell pattern) hold three checks, or after a minute on a slow machine, and
    // waits for it; system()'s status.
    int Run_Then_Signal(const std::string &args, const std::string &recordings, int sig) {
        std::string cmd = "cd '" + data + "' && { '" + FW_HEADLESS + "' " + args +
                          " & pid=$!; i=0; while [ $(cat " + recordings +
                          " 2>/dev/null | grep -c '^# check') -lt 3 ] && [ $i -lt 600 ]; do sleep "
                          "0.1; i=$((i+1)); done; kill -" +
                          std::to_string(sig) + " $pid; wait $pid; }";
        return std::system(cmd.c_str());
    }
#endif
};
