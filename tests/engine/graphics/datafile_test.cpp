// The bounded file reader: plain files only, never past the limit for their kind, never more
// than asked for; folders, devices and pipes are refused with a reason, and nothing hangs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/graphics/clock.h"
#include "engine/graphics/datafile.h"
#include "engine/graphics/palette.h"

namespace {

std::string Temp_Path(const char *name) {
    return ::testing::TempDir() + "fw_datafile_" + std::to_string(getpid()) + "_" + name;
}

std::string Write_Bytes(const char *name, const std::vector<uint8_t> &b) {
    std::string path = Temp_Path(name);
    FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
        EXPECT_EQ(b.empty() ? 0 : std::fwrite(b.data(), 1, b.size(), f), b.size());
        std::fclose(f);
    }
    return path;
}

TEST(DataFile, ReadsAPlainFileWholeOrItsFirstBytes) {
    std::vector<uint8_t> ten = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::string path = Write_Bytes("ten", ten);
    std::vector<uint8_t> got = {99};
    std::string err;
    ASSERT_EQ(Read_Bounded_File(path.c_str(), 10, got, &err), 1) << err;
    EXPECT_EQ(got, ten);
    // A head of 4 bytes, with the whole size told; a head longer than the file is the file.
    uint64_t size = 0;
    ASSERT_EQ(Read_File_Head(path.c_str(), 100, 4, got, &size, &err), 1) << err;
    EXPECT_EQ(got, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(size, 10u);
    ASSERT_EQ(Read_File_Head(path.c_str(), 100, 1000, got, &size, &err), 1) << err;
    EXPECT_EQ(got, ten);
    // An empty file is a file.
    std::string empty = Write_Bytes("empty", {});
    ASSERT_EQ(Read_Bounded_File(empty.c_str(), 0, got, &err), 1) << err;
    EXPECT_TRUE(got.empty());
    std::remove(path.c_str());
    std::remove(empty.c_str());
}

TEST(DataFile, TheLimitIsInclusiveAndALargerFileIsNotRead) {
    std::string path = Write_Bytes("eleven", std::vector<uint8_t>(11, 7));
    std::vector<uint8_t> got;
    std::string err;
    EXPECT_EQ(Read_Bounded_File(path.c_str(), 11, got, &err), 1);
    EXPECT_EQ(got.size(), 11u);
    err.clear();
    EXPECT_EQ(Read_Bounded_File(path.c_str(), 10, got, &err), 0);
    EXPECT_TRUE(got.empty());
    EXPECT_NE(err.find("11 bytes"), std::string::npos) << err;
    EXPECT_NE(err.find("10"), std::string::npos) << err;
    // Even a head is refused: the limit is on the file, not on what is asked of it.
    EXPECT_EQ(Read_File_Head(path.c_str(), 10, 2, got, nullptr, &err), 0);
    // A sparse file of 4 GiB is refused from its size alone.
    ASSERT_EQ(truncate(path.c_str(), 4LL << 30), 0);
    uint64_t size = 123;
    EXPECT_EQ(Read_File_Head(path.c_str(), 1u << 30, 16, got, &size, &err), 0);
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(size, 123u); // untouched on refusal
    std::remove(path.c_str());
}

TEST(DataFile, FoldersDevicesAndPipesAreRefusedWithAReason) {
    std::vector<uint8_t> got;
    std::string err;
    EXPECT_EQ(Read_Bounded_File("/tmp", 1 << 20, got, &err), 0);
    EXPECT_NE(err.find("folder"), std::string::npos) << err;
    err.clear();
    EXPECT_EQ(Read_Bounded_File("/dev/zero", 1 << 20, got, &err), 0);
    EXPECT_NE(err.find("device"), std::string::npos) << err;
    EXPECT_TRUE(got.empty());
    // A pipe with no writer would block an ordinary open for ever.
    std::string fifo = Temp_Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    err.clear();
    EXPECT_EQ(Read_Bounded_File(fifo.c_str(), 1 << 20, got, &err), 0);
    EXPECT_NE(err.find("pipe"), std::string::npos) << err;
    std::remove(fifo.c_str());
}

TEST(DataFile, MissingFilesAndNamesSayWhy) {
    std::vector<uint8_t> got = {1};
    std::string err;
    EXPECT_EQ(Read_Bounded_File("/nonexistent/fw/none.bin", 100, got, &err), 0);
    EXPECT_NE(err.find("cannot open"), std::string::npos) << err;
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(Read_Bounded_File("", 100, got, &err), 0);
    EXPECT_EQ(Read_Bounded_File(nullptr, 100, got, nullptr), 0); // no error text wanted
    err.clear();
    EXPECT_EQ(Read_Data_File("fw-no-such-data-file.bin", 100, got, &err), 0);
    EXPECT_FALSE(err.empty());
}

TEST(DataFile, DataFilesAreFoundThenReadWithTheirLimit) {
    std::string path = Write_Bytes("data", {'a', 'b', 'c'});
    std::vector<uint8_t> got;
    std::string err;
    ASSERT_EQ(Read_Data_File(path.c_str(), 3, got, &err), 1) << err;
    EXPECT_EQ(got, (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(Read_Data_File(path.c_str(), 2, got, &err), 0);
    EXPECT_TRUE(got.empty());
    std::remove(path.c_str());
}

TEST(DataFile, PaletteFilesAreReadWithALimitToo) {
    PALETTEENTRY pal[256];
    for (auto &e : pal)
        e = PALETTEENTRY{0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(Read_Palette_File("/tmp", pal), 0);
    EXPECT_EQ(Read_Palette_File("/dev/zero", pal), 0);
    std::string fifo = Temp_Path("pal_fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Read_Palette_File(fifo.c_str(), pal), 0); // refused, not waited on
    std::remove(fifo.c_str());
    EXPECT_EQ(pal[0].peRed, 0xAA);
    // A first entry, then spaces up to 1 MiB: read; one byte more and it is not.
    std::string text = "1 2 3 4\n";
    text.resize(1u << 20, ' ');
    std::string path = Write_Bytes("pal", std::vector<uint8_t>(text.begin(), text.end()));
    ASSERT_EQ(Read_Palette_File(path.c_str(), pal), 1);
    EXPECT_EQ(pal[0].peRed, 1);
    EXPECT_EQ(pal[0].peFlags, 4);
    EXPECT_EQ(pal[1].peRed, 0xAA);
    pal[0].peRed = 0xAA;
    ASSERT_EQ(truncate(path.c_str(), (1 << 20) + 1), 0);
    EXPECT_EQ(Read_Palette_File(path.c_str(), pal), 0);
    EXPECT_EQ(pal[0].peRed, 0xAA);
    // An empty file holds no numbers and changes nothing.
    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    EXPECT_EQ(Read_Palette_File(path.c_str(), pal), 1);
    EXPECT_EQ(pal[0].peRed, 0xAA);
    std::remove(path.c_str());
}

} // namespace
