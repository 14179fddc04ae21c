// What the player reads when sound is missing: one line for a sound file that cannot be read
// (its name, the folders, the reason) and one for no sound device, after which the game plays on.
#include "tests/engine/sound/sound_fixture.h"
#include "engine/sound/dmusic.h"
#include "platform/platform.h"

namespace {

using SoundMessages = SoundTest;

TEST_F(SoundMessages, AMissingSoundNamesItselfAndTheFolders) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(DSound_Load_WAV("no-such-sound.wav", DSBCAPS_CTRLDEFAULT), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string base = Plat_Base_Path();
    EXPECT_EQ(err, "farwake: cannot read no-such-sound.wav: not found (looked in the working "
                   "folder, " +
                       base + ", " + base + "../share/farwake/, " + base +
                       "../share/games/farwake/)\n");
}

TEST_F(SoundMessages, ASoundThatIsNotAWavSaysSo) {
    const std::string path = temp_dir() + "/noise.wav";
    ASSERT_TRUE(write_file(path, Bytes{'R', 'I', 'F', 'F', 1, 2, 3}));
    testing::internal::CaptureStderr();
    EXPECT_EQ(DSound_Load_WAV(path.c_str(), DSBCAPS_CTRLDEFAULT), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "farwake: cannot read " + path +
                       ": not a sound the game can play (looked in only where the path points)\n");
}

TEST(SoundDeviceMessage, NoDeviceIsOneLineAndTheGamePlaysOnSilently) {
    DSound_Shutdown();
    Headless_Reset(0);
    Headless_Set_Available(1, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(DSound_Init(), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(err.rfind("farwake: no sound device (", 0), 0u) << err;
    EXPECT_NE(err.find("); playing without sound\n"), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err; // one line
    // Without the device the mix is silence and a load finds nothing to load into.
    std::vector<int16_t> out(8, 7);
    DSound_Mix(out.data(), 4);
    EXPECT_EQ(out, std::vector<int16_t>(8, 0));
    Headless_Set_Available(1, 1);
}

TEST_F(SoundMessages, NoSoundFontIsOneLineAndMusicStaysOff) {
    if (*DMusic_Find_SoundFont()) GTEST_SKIP() << "a SoundFont is installed: nothing to miss";
    testing::internal::CaptureStderr();
    EXPECT_EQ(DMusic_Init(), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("farwake: no SoundFont", 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_NE(err.find("music off"), std::string::npos) << err;
}

} // namespace
