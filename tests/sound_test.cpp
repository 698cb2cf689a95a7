// WAV reading and the sound sets' request rules, on the headless backend
// whose silent sounds still take their real time to play.
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include "base/report_error.h"
#include "platform/ima_adpcm.h"
#include "render/constants.h"
#include "render/sound_sets.h"
#include "tests/test_support.h"
#include "world/run_state.h"

namespace {

std::string Wav(uint32_t dataBytes, uint16_t format = 1, const std::string& before = "",
                bool truncate = false) {
  auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  std::string fmt = u16(format) + u16(1) + u32(8000) + u32(16000) + u16(2) + u16(16);
  std::string data(dataBytes, '\x01');
  std::string body = "WAVEfmt " + u32(16) + fmt + before + "data" + u32(dataBytes) + data;
  if (truncate) body.resize(body.size() - dataBytes / 2);
  return "RIFF" + u32(static_cast<uint32_t>(body.size())) + body;
}

bool Parse(const std::string& bytes, WaveData* out, std::string* why) {
  return ParseWave(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out, why);
}

}  // namespace

TEST(Wave, ReadsTheCanonicalLayoutAndWalksOtherChunks) {
  WaveData w;
  std::string why;
  ASSERT_TRUE(Parse(Wav(16000), &w, &why)) << why;
  EXPECT_EQ(w.samples.size(), 16000u);
  EXPECT_EQ(w.format.samplesPerSec, 8000u);
  // A LIST chunk before the data: its bytes must not be played as sound.
  const std::string list = "LIST" + std::string("\x06\0\0\0", 4) + "INFOab";
  ASSERT_TRUE(Parse(Wav(400, 1, list), &w, &why)) << why;
  EXPECT_EQ(w.samples.size(), 400u);
  EXPECT_EQ(w.samples[0], 1);
}

TEST(Wave, RefusesWhatCannotBePlayed) {
  WaveData w;
  std::string why;
  EXPECT_FALSE(Parse(Wav(0), &w, &why));
  EXPECT_EQ(why, "no sample data");
  EXPECT_FALSE(Parse(Wav(1000, 3), &w, &why));  // IEEE float, not PCM
  EXPECT_NE(why.find("not PCM"), std::string::npos);
  EXPECT_FALSE(Parse(Wav(1000, 1, "", true), &w, &why));
  EXPECT_FALSE(why.empty());
  std::string bigSize = Wav(100);
  bigSize[40] = '\x7F';  // the data size now claims far more than the file holds
  bigSize[43] = '\x7F';
  EXPECT_FALSE(Parse(bigSize, &w, &why));
  EXPECT_FALSE(Parse("RIFF", &w, &why));
}

TEST(Wave, LoadFailuresNameTheFile) {
  HeadlessServices services(true);
  TempDirectory dir;
  const std::string path = dir.Path() + "/empty.wav";
  std::ofstream(path, std::ios::binary) << Wav(0);
  ClearReportedErrors();
  testing::internal::CaptureStderr();
  SoundBuffer b;
  EXPECT_EQ(b.Load(path.c_str()), 0);
  EXPECT_EQ(b.Load((dir.Path() + "/missing.wav").c_str()), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("empty.wav"), std::string::npos);
  EXPECT_NE(err.find("missing.wav"), std::string::npos);
  ASSERT_EQ(ReportedErrors().size(), 2u);
  EXPECT_EQ(ReportedErrors()[0], "LPDIRECTSOUNDBUFFERの作成に失敗");
  EXPECT_EQ(ReportedErrors()[1], "Soundファイルオープンに失敗 -DirectSound-");
}

class SoundSetTest : public testing::Test {
 protected:
  void SetUp() override {
    // Two one-second sounds.
    for (int i = 0; i < 2; ++i) {
      paths_[i] = dir_.Path() + "/s" + std::to_string(i) + ".wav";
      std::ofstream(paths_[i], std::ios::binary) << Wav(16000);
      table_[i] = paths_[i].c_str();
    }
    set_ = std::make_unique<SoundSetCore>(table_, 2, "failed");
    ASSERT_EQ(set_->Load(), 1);
  }
  void TearDown() override { set_->Release(); }

  HeadlessServices services_{true};
  TempDirectory dir_;
  std::string paths_[2];
  const char* table_[2];
  std::unique_ptr<SoundSetCore> set_;
};

TEST_F(SoundSetTest, AFinishedOncePlayDropsItsRequest) {
  set_->Request(0, 1);
  set_->Update();
  EXPECT_EQ(set_->IsStarted(0), 1);
  EXPECT_EQ(set_->IsPlaying(0), 1);
  services_.Advance(0.5);
  set_->Update();
  EXPECT_EQ(set_->GetRequest(0), 1);
  services_.Advance(0.6);
  set_->Update();
  EXPECT_EQ(set_->GetRequest(0), 0);
  EXPECT_EQ(set_->IsStarted(0), 0);
}

TEST_F(SoundSetTest, PlayingOnceAgainRestartsInsteadOfOverlapping) {
  set_->PlayOnce(0);
  set_->Update();
  services_.Advance(0.6);
  set_->PlayOnce(0);  // still sounding: restart from the beginning
  set_->Update();
  services_.Advance(0.6);  // 1.2 s after the first start
  set_->Update();
  EXPECT_EQ(set_->IsPlaying(0), 1);
  EXPECT_EQ(set_->GetRequest(0), 1);
  services_.Advance(0.5);
  set_->Update();
  EXPECT_EQ(set_->GetRequest(0), 0);
}

TEST_F(SoundSetTest, ChangingOnceToLoopNeedsAStopInBetween) {
  set_->Request(1, 1);
  set_->Update();
  set_->Request(1, 2);  // started: does not switch to looping
  set_->Update();
  services_.Advance(1.2);
  set_->Update();
  EXPECT_EQ(set_->IsPlaying(1), 0);
  EXPECT_EQ(set_->GetRequest(1), 2);
  set_->Request(1, 0);
  set_->Update();
  set_->Request(1, 2);
  set_->Update();
  services_.Advance(3.5);
  EXPECT_EQ(set_->IsPlaying(1), 1);  // looping now
  set_->Request(1, 0);
  set_->Update();
  EXPECT_EQ(set_->IsPlaying(1), 0);
}

TEST_F(SoundSetTest, DeferredRequestsApplyOnlyWhenAsked) {
  set_->Defer(0, 2);
  set_->Update();
  EXPECT_EQ(set_->GetRequest(0), 0);
  set_->ApplyDeferred();
  EXPECT_EQ(set_->GetRequest(0), 2);
  set_->ApplyDeferred();
  EXPECT_EQ(set_->GetRequest(0), 2);
}

TEST(GameSoundSet, TheTwoUpSoundsAreSeparateBuffers) {
  HeadlessServices services(true);
  ScopedWorkingDirectory cwd(RunDirectory());
  SoundSetCore sounds = GameSoundSet();
  ASSERT_EQ(sounds.Load(), 1);
  sounds.Request(kSeUp, 1);
  sounds.Update();
  services.Advance(0.1);
  sounds.Request(kSeUp2, 1);
  sounds.Update();
  EXPECT_EQ(sounds.IsPlaying(kSeUp), 1);
  EXPECT_EQ(sounds.IsPlaying(kSeUp2), 1);
  sounds.StopAll();
  EXPECT_EQ(sounds.IsPlaying(kSeUp), 0);
  sounds.Release();
}

// The game's set belongs to the run being played: a new run starts with a
// set of its own (nothing loaded, nothing asked for), what it asks for never
// reaches another run, and its buffers go with it while the other's play on.
TEST(GameSoundSet, EachRunHasItsOwnAndGivesItUpWhenItEnds) {
  HeadlessServices services(true);
  ScopedWorkingDirectory cwd(RunDirectory());
  RunState outer;
  ASSERT_EQ(outer.sound.Load(), 1);
  outer.sound.Request(kBgmMain, 2);
  outer.sound.Update();
  ASSERT_EQ(outer.sound.IsPlaying(kBgmMain), 1);
  {
    RunState run;
    EXPECT_EQ(run.sound.GetRequest(kBgmMain), 0) << "a new run asks for nothing";
    EXPECT_EQ(run.sound.IsPlaying(kBgmMain), 0) << "and has nothing loaded";
    ASSERT_EQ(run.sound.Load(), 1);
    run.sound.Request(kSeClear, 1);
    run.sound.Update();
    EXPECT_EQ(run.sound.IsPlaying(kSeClear), 1);
    run.sound.StopAll();
  }  // the run's buffers are released with it
  EXPECT_EQ(outer.sound.GetRequest(kSeClear), 0) << "the other run's request stayed in it";
  EXPECT_EQ(outer.sound.GetRequest(kBgmMain), 2);
  EXPECT_EQ(outer.sound.IsPlaying(kBgmMain), 1) << "the outer run's music plays on";
  outer.sound.StopAll();
  outer.sound.Release();
}

namespace {

// Signal-to-noise ratio in decibels of a decoded channel against the original.
double SnrDb(const std::vector<int16_t>& original, const std::vector<uint8_t>& decoded,
             uint32_t channels, uint32_t channel) {
  double signal = 0, noise = 0;
  for (size_t f = 0; f < original.size() / channels; ++f) {
    const size_t i = f * channels + channel;
    const int16_t d = static_cast<int16_t>(decoded[2 * i] | decoded[2 * i + 1] << 8);
    signal += double(original[i]) * original[i];
    noise += double(original[i] - d) * (original[i] - d);
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

std::vector<int16_t> Chord(uint32_t frames, uint32_t channels) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
  for (uint32_t f = 0; f < frames; ++f)
    for (uint32_t c = 0; c < channels; ++c)
      out[f * channels + c] = static_cast<int16_t>(
          9000 * std::sin(f * (0.031 + 0.01 * c)) + 5000 * std::sin(f * 0.173) +
          (f > frames / 2 ? 12000 * std::sin(f * 0.4) : 0));  // a louder, brighter half
  return out;
}

}  // namespace

// The browser's music: IMA ADPCM reads back as 16-bit PCM of exactly the
// frames written, mono and stereo, close to the original.
TEST(Wave, ImaAdpcmReadsBackAsTheMusicItWasMadeFrom) {
  for (uint32_t channels : {1u, 2u}) {
    // Not a whole number of blocks: the last block is cut by the fact chunk.
    const uint32_t frames = 22050 + 333;
    const std::vector<int16_t> chord = Chord(frames, channels);
    const std::vector<uint8_t> file = ImaAdpcmWaveFile(chord.data(), frames, channels, 22050);
    EXPECT_LT(file.size(), chord.size() * 2 / 3) << "about a quarter of the PCM";
    WaveData w;
    std::string why;
    ASSERT_TRUE(ParseWave(file.data(), file.size(), &w, &why)) << why;
    EXPECT_EQ(w.format.formatTag, 1);
    EXPECT_EQ(w.format.bitsPerSample, 16);
    EXPECT_EQ(w.format.channels, channels);
    EXPECT_EQ(w.format.samplesPerSec, 22050u);
    EXPECT_EQ(w.format.blockAlign, 2 * channels);
    ASSERT_EQ(w.samples.size(), chord.size() * 2);
    for (uint32_t c = 0; c < channels; ++c)
      EXPECT_GT(SnrDb(chord, w.samples, channels, c), 25.0) << channels << " channels, " << c;
    // The first sample of every block is kept exactly.
    EXPECT_EQ(static_cast<int16_t>(w.samples[0] | w.samples[1] << 8), chord[0]);
  }
}

TEST(Wave, BrokenImaAdpcmIsRefusedWithAReason) {
  const std::vector<int16_t> chord = Chord(4000, 2);
  const std::vector<uint8_t> good = ImaAdpcmWaveFile(chord.data(), 4000, 2, 22050);
  auto parse = [](std::vector<uint8_t> bytes, std::string* why) {
    WaveData w;
    return ParseWave(bytes.data(), bytes.size(), &w, why);
  };
  std::string why;
  // The format chunk's fields: channels at 22, block size at 32, bits at 34.
  std::vector<uint8_t> bad = good;
  bad[22] = 3;
  EXPECT_FALSE(parse(bad, &why));
  EXPECT_EQ(why, "unsupported IMA ADPCM layout");
  bad = good;
  bad[32] = 7;  // a block size that holds no whole group of samples
  bad[33] = 0;
  EXPECT_FALSE(parse(bad, &why));
  bad = good;
  bad[34] = 16;
  EXPECT_FALSE(parse(bad, &why));
  // A step index beyond the table in the first block's header.
  bad = good;
  const size_t data = 12 + 28 + 12 + 8;  // RIFF, fmt, fact, data headers
  bad[data + 2] = 200;
  EXPECT_FALSE(parse(bad, &why));
  EXPECT_EQ(why, "IMA ADPCM step index out of range");
  // Cut short: the blocks that are there still play, up to the cut.
  bad = good;
  bad.resize(data + 1500);
  std::vector<uint8_t> cut = bad;
  const uint32_t riff = static_cast<uint32_t>(cut.size() - 8), body = 1500;
  std::memcpy(cut.data() + 4, &riff, 4);
  std::memcpy(cut.data() + data - 4, &body, 4);
  WaveData w;
  ASSERT_TRUE(ParseWave(cut.data(), cut.size(), &w, &why)) << why;
  EXPECT_GT(w.samples.size(), 0u);
  EXPECT_LT(w.samples.size(), 4000u * 4);
  EXPECT_EQ(w.samples.size() % 4, 0u);
}
