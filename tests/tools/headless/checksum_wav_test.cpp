// The runner's frame checksum and its streamed WAV output: the CRC-32 check value, pieces that
// add up to the whole, padded rows, and a WAV file whose header and samples read back by hand.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/graphics/crc32.h"
#include "tools/headless/runner.h"
#include "tools/headless/wav_stream.h"

namespace {

// Bitwise CRC-32 straight from its definition (reflected polynomial 0xEDB88320).
uint32_t Slow_Crc(uint32_t crc, const uint8_t *p, size_t n) {
    crc = ~crc;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int b = 0; b < 8; b++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::vector<uint8_t> Noise(size_t n) {
    std::vector<uint8_t> v(n);
    uint32_t x = 12345;
    for (auto &b : v) {
        x = x * 1103515245u + 12345u;
        b = (uint8_t)(x >> 16);
    }
    return v;
}

TEST(Checksum, TheStandardCheckValue) {
    EXPECT_EQ(Crc32_Update(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32_Update(0, "", 0), 0u);
}

TEST(Checksum, EveryLengthAndAlignmentMatchesTheDefinition) {
    // Lengths around each of the fast paths' block sizes (16, 64, 256) and odd starts.
    const std::vector<uint8_t> data = Noise(5000);
    for (size_t len : {1u, 15u, 16u, 63u, 64u, 65u, 255u, 256u, 257u, 511u, 1000u, 4099u})
        for (size_t off = 0; off < 4; off++)
            EXPECT_EQ(Crc32_Update(7, data.data() + off, len), Slow_Crc(7, data.data() + off, len))
                << "len " << len << " offset " << off;
}

TEST(Checksum, PiecesAddUpToTheWhole) {
    const std::vector<uint8_t> data = Noise(100000);
    const uint32_t whole = Crc32_Update(0, data.data(), data.size());
    EXPECT_EQ(whole, Slow_Crc(0, data.data(), data.size()));
    for (size_t cut : {1u, 100u, 256u, 4097u, 99999u}) {
        uint32_t c = Crc32_Update(0, data.data(), cut);
        EXPECT_EQ(Crc32_Update(c, data.data() + cut, data.size() - cut), whole) << "cut " << cut;
    }
}

TEST(Checksum, FrameSumSkipsRowPadding) {
    // A 300 x 7 frame, once packed and once with 40 bytes of junk after every row.
    const int w = 300, h = 7;
    std::vector<uint16_t> packed((size_t)w * h), padded((size_t)(w + 20) * h, 0xBEEF);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            packed[(size_t)y * w + x] = padded[(size_t)y * (w + 20) + x] =
                (uint16_t)(x * 131 + y * 7919);
    // The sum is over the pixels' little-endian bytes, row after row.
    std::vector<uint8_t> bytes;
    for (uint16_t p : packed) {
        bytes.push_back((uint8_t)(p & 0xFF));
        bytes.push_back((uint8_t)(p >> 8));
    }
    const uint32_t expected = Slow_Crc(0, bytes.data(), bytes.size());
    EXPECT_EQ(Frame_Crc(packed.data(), w, h, w * 2), expected);
    EXPECT_EQ(Frame_Crc(padded.data(), w, h, (w + 20) * 2), expected);
}

uint32_t Le(const std::vector<uint8_t> &f, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--)
        v = v << 8 | f[at + i];
    return v;
}

std::vector<uint8_t> Slurp(const std::string &path) {
    std::vector<uint8_t> out;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return out;
    for (int c; (c = fgetc(f)) != EOF;)
        out.push_back((uint8_t)c);
    fclose(f);
    return out;
}

TEST(WavStream, HeaderSizesAndSamplesInOrder) {
    char path[] = "/tmp/fw_wav_streamXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    WAV_STREAM_TYP w;
    ASSERT_EQ(Wav_Stream_Open(&w, path), 1);
    // 3000 stereo frames in pieces of uneven size; sample i is i*11 - 16000.
    std::vector<int16_t> all;
    for (int i = 0; i < 6000; i++)
        all.push_back((int16_t)(i * 11 - 16000));
    size_t at = 0;
    for (size_t piece : {2u, 998u, 0u, 3000u, 2000u}) {
        Wav_Stream_Write(&w, all.data() + at, piece);
        at += piece;
    }
    ASSERT_EQ(at, all.size());
    ASSERT_EQ(Wav_Stream_Close(&w, 22050), 1);
    const std::vector<uint8_t> f = Slurp(path);
    remove(path);
    ASSERT_EQ(f.size(), 44u + 12000u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
    EXPECT_EQ(Le(f, 4, 4), 36u + 12000u);
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le(f, 16, 4), 16u);
    EXPECT_EQ(Le(f, 20, 2), 1u);         // PCM
    EXPECT_EQ(Le(f, 22, 2), 2u);         // stereo
    EXPECT_EQ(Le(f, 24, 4), 22050u);     // the rate given at the close
    EXPECT_EQ(Le(f, 28, 4), 22050u * 4); // bytes per second
    EXPECT_EQ(Le(f, 32, 2), 4u);         // bytes per frame
    EXPECT_EQ(Le(f, 34, 2), 16u);        // bits per sample
    EXPECT_EQ(std::string(f.begin() + 36, f.begin() + 40), "data");
    EXPECT_EQ(Le(f, 40, 4), 12000u);
    for (size_t i = 0; i < all.size(); i++)
        ASSERT_EQ((int16_t)Le(f, 44 + 2 * i, 2), all[i]) << "sample " << i;
}

TEST(WavStream, AnEmptyMixAndAnUnwritablePath) {
    char path[] = "/tmp/fw_wav_emptyXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    WAV_STREAM_TYP w;
    ASSERT_EQ(Wav_Stream_Open(&w, path), 1);
    ASSERT_EQ(Wav_Stream_Close(&w, 44100), 1);
    const std::vector<uint8_t> f = Slurp(path);
    remove(path);
    ASSERT_EQ(f.size(), 44u);
    EXPECT_EQ(Le(f, 4, 4), 36u);
    EXPECT_EQ(Le(f, 40, 4), 0u);
    EXPECT_EQ(Wav_Stream_Open(&w, "/nonexistent-folder/x.wav"), 0);
    EXPECT_EQ(Wav_Stream_Close(&w, 44100), 0); // nothing open, nothing written
}

} // namespace
