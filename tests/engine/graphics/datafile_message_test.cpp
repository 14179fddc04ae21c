// What the player reads when a data file cannot be read: one line naming the file, the folders
// searched and the reason, for pictures and for the 8-bit palette.
#include "tests/engine/graphics/display_fixture.h"
#include "engine/graphics/bitmap.h"
#include "engine/graphics/datafile.h"
#include "platform/platform.h"
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string Folders() {
    const std::string base = Plat_Base_Path();
    return "the working folder, " + base + ", " + base + "../share/farwake/, " + base +
           "../share/games/farwake/";
}

int Lines(const std::string &text) {
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

} // namespace

TEST(DataFileMessage, AMissingPictureIsNamedWithTheFoldersSearched) {
    BITMAP_FILE_TAG bmp{};
    testing::internal::CaptureStderr();
    EXPECT_EQ(Load_Bitmap_File(&bmp, "no-such-picture.bmp"), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "farwake: cannot read no-such-picture.bmp: not found (looked in " + Folders() +
                       ")\n");
}

TEST(DataFileMessage, AnAbsolutePathIsLookedUpOnlyThere) {
    EXPECT_EQ(Data_File_Folders("/nowhere/x.bmp"), "only where the path points");
    BITMAP_FILE_TAG bmp{};
    testing::internal::CaptureStderr();
    EXPECT_EQ(Load_Bitmap_File(&bmp, "/nowhere/x.bmp"), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "farwake: cannot read /nowhere/x.bmp: not found (looked in only where the "
                   "path points)\n");
}

TEST(DataFileMessage, APictureThatIsNotABitmapSaysSo) {
    char tmpl[] = "/tmp/fw_datafile_XXXXXX.bmp";
    const int fd = mkstemps(tmpl, 4);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "BMnot really", 12), 12);
    close(fd);
    BITMAP_FILE_TAG bmp{};
    testing::internal::CaptureStderr();
    EXPECT_EQ(Load_Bitmap_File(&bmp, tmpl), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    std::remove(tmpl);
    EXPECT_EQ(Lines(err), 1);
    EXPECT_NE(err.find(std::string("cannot read ") + tmpl + ": not a picture the game can read"),
              std::string::npos)
        << err;
}

TEST(DataFileMessage, AMissingPaletteIsNamedOnceAndTheDisplayStillOpens) {
    // The 8-bit display reads PALDATA2.PAL; the tests run where there is none.
    if (!Find_Data_File("PALDATA2.PAL").empty()) GTEST_SKIP() << "a palette file is present";
    Headless_Reset(1000);
    Headless_Set_Available(1, 1);
    ASSERT_EQ(Plat_Open_Window("farwake", 640, 480), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(DDraw_Init(640, 480, 8, 0), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    DDraw_Shutdown();
    Plat_Close_Window();
    EXPECT_EQ(err, "farwake: cannot read PALDATA2.PAL: not found (looked in " + Folders() + ")\n");
}
