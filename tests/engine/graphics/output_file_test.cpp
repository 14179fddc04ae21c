// Output files that say why they failed: the first failure's reason is kept and the file takes
// nothing more; a whole file written through its temporary copy replaces the old one or leaves it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/graphics/output_file.h"

namespace {

std::string Slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(OutputFile, AFullDeviceIsSaidWithItsReasonAndTakesNothingMore) {
    OUTPUT_FILE_TYP o;
    ASSERT_TRUE(Output_Open(&o, "/dev/full"));
    EXPECT_FALSE(Output_Line(&o, "{\"read\":1}"));
    EXPECT_EQ(o.file, nullptr); // closed at the failure
    EXPECT_EQ(Output_Failure(o), "cannot write /dev/full: No space left on device");
    EXPECT_FALSE(Output_Write(&o, "x", 1, 1));
    EXPECT_FALSE(Output_Close(&o));
    // Buffered bytes fail at the flush that pushes them out, or at the close.
    ASSERT_TRUE(Output_Open(&o, "/dev/full", "wb"));
    EXPECT_TRUE(Output_Write(&o, "abc", 3, 0));
    EXPECT_FALSE(Output_Close(&o));
    EXPECT_EQ(Output_Failure(o), "cannot write /dev/full: No space left on device");
    // A folder that is not there fails at the open.
    EXPECT_FALSE(Output_Open(&o, "/nonexistent-fw/x.jsonl"));
    EXPECT_EQ(Output_Failure(o), "cannot write /nonexistent-fw/x.jsonl: No such file or directory");
}

TEST(OutputFile, WholeFilesReplaceTheOldOneOrLeaveIt) {
    char tmpl[] = "/tmp/fw_output_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl, path = dir + "/settings.cfg";
    std::string error;
    ASSERT_TRUE(Write_Whole_File(path.c_str(), "volume 80\n", 10, &error)) << error;
    ASSERT_TRUE(Write_Whole_File(path.c_str(), "volume 5\n", 9, &error)) << error;
    EXPECT_EQ(Slurp(path), "volume 5\n");
    EXPECT_NE(access((path + ".new").c_str(), F_OK), 0); // no temporary file left
    // A folder in the way: the rename fails, nothing is left behind and the reason is said.
    const std::string blocked = dir + "/blocked";
    ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((blocked + "/inside").c_str(), 0700), 0);
    EXPECT_FALSE(Write_Whole_File(blocked.c_str(), "x", 1, &error));
    EXPECT_EQ(error.rfind("cannot write " + blocked + ": ", 0), 0u) << error;
    EXPECT_NE(access((blocked + ".new").c_str(), F_OK), 0);
    EXPECT_EQ(access((blocked + "/inside").c_str(), F_OK), 0);
    // No folder at all.
    EXPECT_FALSE(Write_Whole_File((dir + "/none/settings.cfg").c_str(), "x", 1, &error));
    EXPECT_EQ(error, "cannot write " + dir + "/none/settings.cfg: No such file or directory");
    EXPECT_EQ(Slurp(path), "volume 5\n");
    EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}

// A link is written through: its target is replaced in the target's own folder, with its mode,
// and the link stays a link; a chain is followed, a dangling link makes its target, and a link to
// a device or round in a loop fails with the reason.
TEST(OutputFile, WholeFilesGoThroughLinksToTheirTargets) {
    namespace fs = std::filesystem;
    char tmpl[] = "/tmp/fw_links_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path dir = tmpl;
    fs::create_directories(dir / "conf");
    fs::create_directories(dir / "dots");
    std::ofstream(dir / "dots" / "kept.ini") << "old\n";
    fs::permissions(dir / "dots" / "kept.ini", fs::perms::owner_read | fs::perms::owner_write);
    struct {
        const char *link, *to; // the link in conf/ and where it points
        const char *chain;     // a second link in conf/ pointing at the first, written instead
        const char *target;    // the file written, under dots/; null: the write fails
        const char *reason;
    } cases[] = {
        {"rel.ini", "../dots/kept.ini", nullptr, "kept.ini", nullptr},
        {"abs.ini", "", "chain.ini", "abs_target.ini", nullptr}, // to: dots/ by its full path
        {"dangling.ini", "../dots/new.ini", nullptr, "new.ini", nullptr},
        {"full.ini", "/dev/full", nullptr, nullptr, "not a regular file"},
        {"loop.ini", "loop.ini", nullptr, nullptr, "Too many levels of symbolic links"},
    };
    for (const auto &c : cases) {
        fs::path link = dir / "conf" / c.link;
        fs::create_symlink(*c.to ? fs::path(c.to) : dir / "dots" / "abs_target.ini", link);
        fs::path written = link;
        if (c.chain) fs::create_symlink(c.link, written = dir / "conf" / c.chain);
        std::string error;
        int ok = Write_Whole_File(written.c_str(), "new\n", 4, &error);
        EXPECT_EQ(ok, c.target != nullptr) << c.link << ": " << error;
        EXPECT_TRUE(fs::is_symlink(link)) << c.link;
        if (c.target) {
            EXPECT_EQ(Slurp(dir / "dots" / c.target), "new\n") << c.link;
        } else {
            EXPECT_EQ(error, "cannot write " + written.string() + ": " + c.reason);
        }
    }
    EXPECT_EQ(fs::status(dir / "dots" / "kept.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    // Nothing but the links and their targets is left: no temporary file on either side.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "conf"), fs::directory_iterator()), 6);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "dots"), fs::directory_iterator()), 3);
    fs::remove_all(dir);
}

} // namespace
