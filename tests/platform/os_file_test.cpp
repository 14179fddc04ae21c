// The operating system calls of platform/os on this system: temporary names, renames over a
// file, folders, binary files, the program's name and path, the environment and the signals.
#include "platform/os/os_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace {

using OsFileTest = TempFolderTest;

TEST(OsFile, ProgramNameDropsTheFolder) {
    struct {
        const char *argv0;
        const char *want;
    } cases[] = {
        {"/usr/games/farwake", "farwake"},
        {"farwake565", "farwake565"},
        {"./build/farwake-headless", "farwake-headless"},
        {"", "fallback"},
        {nullptr, "fallback"},
        {"ends/in/a/folder/", "fallback"},
        // A backslash is a letter of a POSIX name, not a folder's end.
        {"odd\\name.exe", "odd\\name.exe"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Os_Program_Name(c.argv0, "fallback"), c.want) << (c.argv0 ? c.argv0 : "null");
}

TEST_F(OsFileTest, TempNeedsSixXsAtTheEnd) {
    for (const char *bad : {"", "XXXXX", "nameXXXXXy", "nameXXXXX"}) {
        std::string pattern = dir + "/" + bad;
        errno = 0;
        EXPECT_EQ(Os_Make_Temp(pattern), -1) << bad;
        EXPECT_EQ(errno, EINVAL) << bad;
    }
    std::string a = dir + "/tXXXXXX", b = a;
    int fa = Os_Make_Temp(a), fb = Os_Make_Temp(b);
    ASSERT_GE(fa, 0);
    ASSERT_GE(fb, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.find("XXXXXX"), std::string::npos);
    EXPECT_TRUE(Os_Is_File(a.c_str()));
    // Committed, the file is readable by all, as a settings file must be.
    ASSERT_EQ(write(fa, "x", 1), 1);
    EXPECT_EQ(Os_Commit(fa), 0);
    struct stat st;
    ASSERT_EQ(fstat(fa, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    close(fa);
    close(fb);
}

TEST_F(OsFileTest, RenameReplacesAndRemoveDeletes) {
    Write("old", "old text");
    Write("new", "new text");
    EXPECT_EQ(Os_Rename((dir + "/new").c_str(), (dir + "/old").c_str()), 0);
    EXPECT_EQ(Read("old"), "new text");
    EXPECT_FALSE(Os_Is_File((dir + "/new").c_str()));
    errno = 0;
    EXPECT_EQ(Os_Rename((dir + "/new").c_str(), (dir + "/old").c_str()), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(Os_Remove((dir + "/old").c_str()), 0);
    EXPECT_FALSE(Os_Is_File((dir + "/old").c_str()));
    EXPECT_EQ(Os_Remove((dir + "/old").c_str()), -1);
}

TEST_F(OsFileTest, FoldersAndFilesAreTold) {
    const std::string sub = dir + "/sub";
    EXPECT_EQ(Os_Make_Folder(sub.c_str()), 0);
    errno = 0;
    EXPECT_EQ(Os_Make_Folder(sub.c_str()), -1);
    EXPECT_EQ(errno, EEXIST);
    Write("plain", "");
    struct {
        std::string path;
        bool file;
    } cases[] = {{sub, false}, {dir + "/plain", true}, {dir + "/missing", false}, {"", false}};
    for (const auto &c : cases)
        EXPECT_EQ(Os_Is_File(c.path.c_str()), c.file) << c.path;
    EXPECT_FALSE(Os_Is_File(nullptr));
}

TEST_F(OsFileTest, TextModeWritesTheBytesGiven) {
    std::FILE *f = Os_Fopen((dir + "/lines").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("a\nb\r\n\n", f);
    std::fclose(f);
    EXPECT_EQ(Read("lines"), "a\nb\r\n\n");
    errno = 0;
    EXPECT_EQ(Os_Fopen(nullptr, "r"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(Os_Fopen((dir + "/missing").c_str(), "r"), nullptr);
}

TEST(OsFile, ProgramPathEnvironmentAndArguments) {
    std::string self = Os_Program_Path();
    EXPECT_EQ(Os_Program_Name(self.c_str(), ""), "test_platform") << self;
    ASSERT_EQ(Os_Set_Env("FW_OS_FILE_TEST", "zo\xc3\xab"), 0);
    ASSERT_NE(std::getenv("FW_OS_FILE_TEST"), nullptr);
    EXPECT_STREQ(std::getenv("FW_OS_FILE_TEST"), "zo\xc3\xab");
    char a0[] = "prog", a1[] = "--state";
    char *argv[] = {a0, a1, nullptr};
    EXPECT_EQ(Os_Utf8_Arguments(2, argv), argv);
    // The user's folders by the base directory rules: an XDG folder only when absolute.
    const char *home = std::getenv("HOME"), *config = std::getenv("XDG_CONFIG_HOME"),
               *data = std::getenv("XDG_DATA_HOME");
    const std::string was[] = {home ? home : "", config ? config : "", data ? data : ""};
    Os_Set_Env("HOME", "/h");
    Os_Set_Env("XDG_CONFIG_HOME", "/cfg");
    Os_Set_Env("XDG_DATA_HOME", "rel");
    EXPECT_EQ(Os_User_Folder(OS_FOLDER_ROAMING), "/cfg");
    EXPECT_EQ(Os_User_Folder(OS_FOLDER_LOCAL), "/h/.local/share");
    Os_Set_Env("XDG_CONFIG_HOME", "");
    Os_Set_Env("XDG_DATA_HOME", "/data");
    EXPECT_EQ(Os_User_Folder(OS_FOLDER_ROAMING), "/h/.config");
    EXPECT_EQ(Os_User_Folder(OS_FOLDER_LOCAL), "/data");
    Os_Set_Env("HOME", was[0].c_str());
    Os_Set_Env("XDG_CONFIG_HOME", was[1].c_str());
    Os_Set_Env("XDG_DATA_HOME", was[2].c_str());
    int null = Os_Open_Null();
    ASSERT_GE(null, 0);
    EXPECT_EQ(write(null, "gone", 4), 4);
    close(null);
}

volatile sig_atomic_t caught = 0;
void Catch(int sig) {
    caught = sig;
}

TEST(OsFile, SignalsAreTakenAndGivenBack) {
    for (int sig : {SIGUSR1, SIGTERM}) {
        caught = 0;
        OS_SAVED_SIGNAL before;
        Os_Catch_Signal(sig, Catch, &before);
        raise(sig);
        EXPECT_EQ(caught, sig);
        Os_Restore_Signal(sig, before);
        struct sigaction now {};
        sigaction(sig, nullptr, &now);
        EXPECT_EQ(now.sa_handler, before.action.sa_handler) << sig;
        EXPECT_NE(now.sa_handler, Catch) << sig;
    }
}

} // namespace
