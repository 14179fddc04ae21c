// The WAV reader: chunk walking, refused files, lying sizes and conversion to 8-bit mono.
#include "engine/sound/wavfile.h"
#include "tests/support/sound_files.h"
#include <gtest/gtest.h>

namespace {

bool parse(const Bytes &b, WAV_SOUND *w) {
    return Parse_WAV(b.data(), b.size(), w) == 1;
}

const Bytes kFive = {10, 20, 30, 40, 50};

TEST(WavReader, PlainEightBitMono) {
    WAV_SOUND w;
    ASSERT_TRUE(parse(wav8(kFive, 22050), &w));
    EXPECT_EQ(w.format_tag, 1);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.rate, 22050);
    EXPECT_EQ(w.bits, 8);
    EXPECT_EQ(w.samples, kFive);
}

TEST(WavReader, FormatChunksOfSixteenEighteenAndFortyBytes) {
    for (int size : {16, 18, 40}) {
        Bytes c;
        put_chunk(c, "fmt ", fmt_body(1, 1, 11025, 8, size));
        put_chunk(c, "data", kFive);
        WAV_SOUND w;
        ASSERT_TRUE(parse(riff_wave(c), &w)) << size;
        EXPECT_EQ(w.samples, kFive) << size;
    }
    // The 40-byte form with the extensible tag is not tag 1.
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(0xFFFE, 1, 11025, 8, 40));
    put_chunk(c, "data", kFive);
    WAV_SOUND w;
    EXPECT_FALSE(parse(riff_wave(c), &w));
}

TEST(WavReader, ChunksInAnyOrderAfterTheFormat) {
    Bytes list = {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    Bytes fact = {5, 0, 0, 0};
    Bytes odd = {1, 2, 3}; // an odd body is followed by a pad byte
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 1, 11025, 8));
    put_chunk(c, "LIST", list);
    put_chunk(c, "fact", fact);
    put_chunk(c, "junk", odd);
    put_chunk(c, "data", kFive);
    WAV_SOUND w;
    ASSERT_TRUE(parse(riff_wave(c), &w));
    EXPECT_EQ(w.samples, kFive);

    // Data first and the extra chunks after it.
    Bytes d;
    put_chunk(d, "fmt ", fmt_body(1, 1, 11025, 8));
    put_chunk(d, "data", kFive);
    put_chunk(d, "LIST", list);
    ASSERT_TRUE(parse(riff_wave(d), &w));
    EXPECT_EQ(w.samples, kFive);
}

TEST(WavReader, OddChunkWithoutItsPadByteMisleadsTheWalk) {
    // A writer that forgot the pad byte: the walk steps one byte too far and finds no "data".
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 1, 11025, 8));
    put_id(c, "junk");
    put_le32(c, 3);
    c.insert(c.end(), {1, 2, 3});
    put_chunk(c, "data", kFive);
    WAV_SOUND w;
    EXPECT_FALSE(parse(riff_wave(c), &w));
}

TEST(WavReader, RefusedFiles) {
    WAV_SOUND w;
    for (int tag : {0, 2, 3, 0x55}) {
        Bytes c;
        put_chunk(c, "fmt ", fmt_body(tag, 1, 11025, 8));
        put_chunk(c, "data", kFive);
        EXPECT_FALSE(parse(riff_wave(c), &w)) << "tag " << tag;
    }
    Bytes nodata;
    put_chunk(nodata, "fmt ", fmt_body(1, 1, 11025, 8));
    put_chunk(nodata, "LIST", Bytes{'I', 'N', 'F', 'O'});
    EXPECT_FALSE(parse(riff_wave(nodata), &w));

    Bytes avi = wav8(kFive);
    std::copy_n("AVI ", 4, avi.begin() + 8);
    EXPECT_FALSE(parse(avi, &w));
    Bytes rifx = wav8(kFive);
    std::copy_n("RIFX", 4, rifx.begin());
    EXPECT_FALSE(parse(rifx, &w));
    EXPECT_FALSE(parse(Bytes{}, &w));
    EXPECT_EQ(Parse_WAV(nullptr, 10, &w), 0);

    // Zero channels or an impossible width cannot be decoded.
    for (auto [ch, bits] : {std::pair{0, 8}, std::pair{1, 0}, std::pair{1, 40}}) {
        Bytes c;
        put_chunk(c, "fmt ", fmt_body(1, ch, 11025, bits));
        put_chunk(c, "data", kFive);
        EXPECT_FALSE(parse(riff_wave(c), &w)) << ch << " " << bits;
    }
}

TEST(WavReader, FormatIsTheFirstSubChunkWhateverItsName) {
    // The identifier is not compared: a format chunk called "abcd" still works...
    Bytes c;
    put_chunk(c, "abcd", fmt_body(1, 1, 8000, 8));
    put_chunk(c, "data", kFive);
    WAV_SOUND w;
    ASSERT_TRUE(parse(riff_wave(c), &w));
    EXPECT_EQ(w.rate, 8000);
    // ...and a LIST chunk in the first place is read as the format, whose tag is then not 1.
    Bytes d;
    put_chunk(d, "LIST", Bytes{'I', 'N', 'F', 'O', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    put_chunk(d, "fmt ", fmt_body(1, 1, 11025, 8));
    put_chunk(d, "data", kFive);
    EXPECT_FALSE(parse(riff_wave(d), &w));
}

TEST(WavReader, SixteenByteFormatNeedsEighteenBytesInTheFile) {
    // RIFF + format chunk of 16 bytes and nothing after: the 18-byte read runs out at 36 bytes.
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 1, 11025, 8));
    Bytes b = riff_wave(c);
    ASSERT_EQ(b.size(), 36u);
    WAV_SOUND w;
    EXPECT_FALSE(parse(b, &w));
}

TEST(WavReader, EveryTruncationIsSafe) {
    // 44 bytes of headers and 20 samples: a file cut inside the headers is refused; one cut
    // inside the samples keeps the samples that are there.
    Bytes samples(20);
    for (int i = 0; i < 20; ++i)
        samples[i] = (uint8_t)(100 + i);
    Bytes full = wav8(samples);
    ASSERT_EQ(full.size(), 64u);
    for (size_t len = 0; len <= full.size(); ++len) {
        Bytes cut(full.begin(), full.begin() + (long)len);
        WAV_SOUND w;
        bool ok = parse(cut, &w);
        if (len < 44) {
            EXPECT_FALSE(ok) << len;
        } else {
            ASSERT_TRUE(ok) << len;
            ASSERT_EQ(w.samples.size(), len - 44) << len;
            if (len > 44) {
                EXPECT_EQ(w.samples.back(), 100 + (len - 45)) << len;
            }
        }
    }
}

TEST(WavReader, SizesLargerThanTheFile) {
    WAV_SOUND w;
    // A RIFF size far past the end is clipped to the file.
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 1, 11025, 8));
    put_chunk(c, "data", kFive);
    ASSERT_TRUE(parse(riff_wave(c, 0x7FFFFFF0), &w));
    EXPECT_EQ(w.samples, kFive);

    // A data size past the end, and the streaming size 0xFFFFFFFF, read what is there: the
    // five samples and the pad byte that follows an odd body.
    for (int64_t lie : {int64_t(1000), int64_t(0xFFFFFFFF)}) {
        Bytes d;
        put_chunk(d, "fmt ", fmt_body(1, 1, 11025, 8));
        put_chunk(d, "data", kFive, lie);
        ASSERT_TRUE(parse(riff_wave(d), &w)) << lie;
        EXPECT_EQ(w.samples, (Bytes{10, 20, 30, 40, 50, 0})) << lie;
    }

    // A chunk before "data" whose size runs past the end hides the data: refused.
    Bytes e;
    put_chunk(e, "fmt ", fmt_body(1, 1, 11025, 8));
    put_chunk(e, "LIST", Bytes{'I', 'N', 'F', 'O'}, 0xFFFFFFF0);
    put_chunk(e, "data", kFive);
    EXPECT_FALSE(parse(riff_wave(e), &w));

    // A format size past the end: nothing follows it inside the file.
    Bytes f;
    put_chunk(f, "fmt ", fmt_body(1, 1, 11025, 8), 0x7FFFFFFF);
    put_chunk(f, "data", kFive);
    EXPECT_FALSE(parse(riff_wave(f), &w));

    // A RIFF size that ends before "data" puts the data outside the RIFF chunk: refused.
    Bytes g;
    put_chunk(g, "fmt ", fmt_body(1, 1, 11025, 8));
    put_chunk(g, "data", kFive);
    EXPECT_FALSE(parse(riff_wave(g, 4 + 24), &w));
}

TEST(WavReader, SixteenBitMonoIsConvertedToEightBit) {
    // The high byte of each sample, moved to unsigned: 0 -> 128, 32767 -> 255, -32768 -> 0,
    // 256 -> 129, -1 -> 127 (floor of -1/256), 1000 -> 131 (1000/256 = 3.9).
    Bytes data;
    for (int v : {0, 32767, -32768, 256, -1, 1000})
        put_le16(data, (uint16_t)(int16_t)v);
    data.push_back(0x7F); // half a sample at the end is dropped
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 1, 22050, 16));
    put_chunk(c, "data", data);
    WAV_SOUND w;
    ASSERT_TRUE(parse(riff_wave(c), &w));
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.samples, (Bytes{128, 255, 0, 129, 127, 131}));
}

TEST(WavReader, StereoIsMixedToMono) {
    // 8-bit stereo: the mean of the two channels, rounded down: (200+100)/2 = 150,
    // (0+255)/2 = 127.5 -> 127, (128+128)/2 = 128.
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 2, 11025, 8));
    put_chunk(c, "data", Bytes{200, 100, 0, 255, 128, 128, 7});
    WAV_SOUND w;
    ASSERT_TRUE(parse(riff_wave(c), &w));
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.samples, (Bytes{150, 127, 128}));

    // 16-bit stereo: (1000+3000)/2 = 2000 -> 2000/256 = 7.8 -> 7 -> 135;
    // (-1000-3000)/2 = -2000 -> floor(-7.8) = -8 -> 120.
    Bytes data;
    for (int v : {1000, 3000, -1000, -3000})
        put_le16(data, (uint16_t)(int16_t)v);
    Bytes d;
    put_chunk(d, "fmt ", fmt_body(1, 2, 44100, 16));
    put_chunk(d, "data", data);
    ASSERT_TRUE(parse(riff_wave(d), &w));
    EXPECT_EQ(w.samples, (Bytes{135, 120}));
}

TEST(WavReader, WiderSamplesKeepTheirTopBits) {
    // 24-bit 0x123456: top 16 bits 0x1234, top byte 0x12 = 18 -> 146.
    // 32-bit 0x80000000 is the most negative value -> 0.
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 1, 11025, 24));
    put_chunk(c, "data", Bytes{0x56, 0x34, 0x12, 0x00, 0x00, 0xFF});
    WAV_SOUND w;
    ASSERT_TRUE(parse(riff_wave(c), &w));
    EXPECT_EQ(w.samples, (Bytes{146, 127}));

    Bytes d;
    put_chunk(d, "fmt ", fmt_body(1, 1, 11025, 32));
    put_chunk(d, "data", Bytes{0, 0, 0, 0x80});
    ASSERT_TRUE(parse(riff_wave(d), &w));
    EXPECT_EQ(w.samples, (Bytes{0}));
}

TEST(WavReader, FindsTheWaveFormAfterOtherTopLevelChunks) {
    Bytes b;
    put_id(b, "RIFF");
    put_le32(b, 8);
    put_id(b, "AVI ");
    put_le32(b, 0);
    Bytes wav = wav8(kFive);
    b.insert(b.end(), wav.begin(), wav.end());
    WAV_SOUND w;
    ASSERT_TRUE(parse(b, &w));
    EXPECT_EQ(w.samples, kFive);
}

} // namespace
