// Input scripts as people write them and as the recorder writes them.
#include "platform/headless/input_script.h"

#include <gtest/gtest.h>

TEST(InputScript, ReadsTheCommandsPeopleWrite) {
  InputScript s;
  std::string error;
  ASSERT_TRUE(
      s.Parse("# a comment\nseed 9\n@10 press RETURN 3\n@+5 pad A down\n"
              "@16 stick L -32768 32767\n@17 trigger R 255\n@20 quit\n@59 hash 00000000000000ff\n",
              "t", &error))
      << error;
  ASSERT_TRUE(s.seed.has_value());
  EXPECT_EQ(*s.seed, 9u);
  ASSERT_EQ(s.events.size(), 6u);
  EXPECT_EQ(s.events[0].frame, 10);
  EXPECT_EQ(s.events[0].code, DIK_RETURN);
  EXPECT_EQ(s.events[1].frame, 13);  // the release, sorted among the rest
  EXPECT_EQ(s.events[1].kind, InputEvent::Kind::KeyUp);
  EXPECT_EQ(s.events[2].frame, 15);  // @+5 after @10
  EXPECT_EQ(s.events[2].code, XINPUT_GAMEPAD_A);
  EXPECT_EQ(s.events[3].x, -32768);
  EXPECT_EQ(s.events[3].y, 32767);
  ASSERT_EQ(s.hashes.size(), 1u);
  EXPECT_EQ(s.hashes[0].hash, 0xFFu);
}

TEST(InputScript, NamesTheLineOfAMistake) {
  InputScript s;
  std::string error;
  EXPECT_FALSE(s.Parse("@1 press RETURN\n@2 press NOSUCHKEY\n", "my.txt", &error));
  EXPECT_EQ(error.rfind("my.txt:2:", 0), 0u) << error;
  EXPECT_FALSE(s.Parse("press RETURN\n", "x", &error));
  EXPECT_FALSE(s.Parse("@1 stick L 40000 0\n", "x", &error));
  EXPECT_FALSE(s.Parse("@1 hash 12\n", "x", &error));
  EXPECT_FALSE(s.Parse("@-3 quit\n", "x", &error));
}

TEST(InputScript, RecordedInputReadsBackTheSame) {
  InputScriptRecorder rec;
  rec.SetSeed(3);
  uint8_t keys[256] = {};
  XINPUT_GAMEPAD pad;
  rec.RecordFrame(0, keys, false, pad);
  keys[DIK_SPACE] = 0x80;
  rec.RecordFrame(4, keys, false, pad);
  pad.wButtons = XINPUT_GAMEPAD_START;
  pad.sThumbLX = 1234;
  pad.bRightTrigger = 200;
  rec.RecordFrame(5, keys, true, pad);
  keys[DIK_SPACE] = 0;
  rec.RecordFrame(6, keys, true, pad);
  rec.RecordHash(59, 0x0123456789abcdefull);
  InputScript back;
  std::string error;
  ASSERT_TRUE(back.Parse(rec.Script().Write(), "rec", &error)) << error;
  EXPECT_EQ(back.Write(), rec.Script().Write());
  ASSERT_EQ(back.hashes.size(), 1u);
  EXPECT_EQ(back.hashes[0].hash, 0x0123456789abcdefull);
  EXPECT_EQ(*back.seed, 3u);
}

TEST(InputScript, EveryScriptItReadsWritesBackToOneThatReadsTheSame) {
  // Holds and relative frames that would end past the last frame a script
  // can name are refused, so the writer never writes a frame the reader
  // refuses.
  InputScript s;
  std::string error;
  EXPECT_FALSE(s.Parse("@999999990 press RETURN 100\n", "x", &error));
  EXPECT_FALSE(s.Parse("@999999990 padpress A 100\n", "x", &error));
  EXPECT_FALSE(s.Parse("@999999990 quit\n@+100000000 quit\n", "x", &error));
  ASSERT_TRUE(s.Parse("@999999990 press RETURN 10\n@+0 quit\n", "x", &error)) << error;
  InputScript again;
  ASSERT_TRUE(again.Parse(s.Write(), "again", &error)) << error;
  EXPECT_EQ(again.Write(), s.Write());
}
