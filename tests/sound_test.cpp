// WAV reading and the sound sets' request rules, on the headless backend
// whose silent sounds still take their real time to play.
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "base/report_error.h"
#include "render/constants.h"
#include "render/sound_sets.h"
#include "tests/test_support.h"
#include "world/game_sound.h"

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
  ASSERT_EQ(GameSound::Load(), 1);
  GameSound::Request(kSeUp, 1);
  GameSound::Update();
  services.Advance(0.1);
  GameSound::Request(kSeUp2, 1);
  GameSound::Update();
  EXPECT_EQ(GameSound::IsPlaying(kSeUp), 1);
  EXPECT_EQ(GameSound::IsPlaying(kSeUp2), 1);
  GameSound::StopAll();
  EXPECT_EQ(GameSound::IsPlaying(kSeUp), 0);
  GameSound::Release();
}

// The game's set belongs to the run being played: a game's run starts with
// a set of its own (nothing loaded, nothing asked for), what it asks for
// never reaches the run outside it, and its set goes with it.
TEST(GameSoundSet, EachRunHasItsOwnAndGivesItUpWhenItEnds) {
  HeadlessServices services(true);
  ScopedWorkingDirectory cwd(RunDirectory());
  ASSERT_EQ(GameSound::Load(), 1);
  GameSound::Request(kBgmMain, 2);
  GameSound::Update();
  ASSERT_EQ(GameSound::IsPlaying(kBgmMain), 1);
  {
    RunState run;
    RunScope scope(run);
    EXPECT_EQ(GameSound::GetRequest(kBgmMain), 0) << "a new run asks for nothing";
    EXPECT_EQ(GameSound::IsPlaying(kBgmMain), 0) << "and has nothing loaded";
    ASSERT_EQ(GameSound::Load(), 1);
    GameSound::Request(kSeClear, 1);
    GameSound::Update();
    EXPECT_EQ(GameSound::IsPlaying(kSeClear), 1);
    GameSound::StopAll();
  }  // the run's buffers are released with it
  EXPECT_EQ(GameSound::GetRequest(kSeClear), 0) << "the game's request stayed in its run";
  EXPECT_EQ(GameSound::GetRequest(kBgmMain), 2);
  EXPECT_EQ(GameSound::IsPlaying(kBgmMain), 1) << "the outer run's music plays on";
  GameSound::StopAll();
  GameSound::Release();
}
