// The light files: reading, writing back to six decimals, odd type letters,
// short lines, applying a shorter set, and writes that never leave half a
// file.
#include "render/lighting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/atomic_file.h"
#include "platform/graphics.h"
#include "tests/test_support.h"

namespace {

const char* kThree =
    "key\n1\nD\n0.000000,1.000000,2.000000\n145.000000,-55.000000,0.000000\n"
    "1.000000,0.100000,0.200000,0.300000\n1.000000,0.400000,0.500000,0.600000\n"
    "1.000000,0.800000,0.840000,1.000000\n"
    "fill\n0\nP\n1.5,2.5,3.5\n0,0,0\n1,0,0,0\n1,0,0,0\n1,0.5,0.25,0.125\n"
    "odd\n1\nXylophone\n0,0,0\n10,20,30\n0.5,1,1,1\n0,0,0,0\n1,1,1,1\n";

}  // namespace

TEST(LightFile, ReadsEveryFieldAndWritesItBackTheSame) {
  const std::vector<LightEntry> e = ParseLightText(kThree);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].name, "key\n");
  EXPECT_EQ(e[0].light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_FLOAT_EQ(e[0].light.Position.z, 2.0f);
  EXPECT_FLOAT_EQ(e[0].light.Ambient.r, 0.1f);  // alpha comes first in the file
  EXPECT_FLOAT_EQ(e[0].light.Ambient.a, 1.0f);
  EXPECT_FLOAT_EQ(e[0].light.Diffuse.g, 0.84f);
  EXPECT_EQ(e[1].enabled, 0);
  EXPECT_EQ(e[1].light.Type, D3DLIGHT_POINT);
  EXPECT_EQ(e[2].light.Type, 0);  // a letter other than D, P or S
  // The direction is (1, 1, 1) turned by the rotation.
  const D3DVECTOR d = LightDirection({0, 90, 0});
  EXPECT_NEAR(d.x, 1.0f, 1e-5f);
  EXPECT_NEAR(d.z, -1.0f, 1e-5f);
  // Written and read again, everything survives to six decimals; the odd
  // type is written without a letter.
  const std::string written = FormatLightText(e);
  EXPECT_NE(written.find("odd\n1\n\n"), std::string::npos);
  const std::vector<LightEntry> back = ParseLightText(written);
  ASSERT_EQ(back.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back[i].enabled, e[i].enabled);
    EXPECT_EQ(back[i].rotation, e[i].rotation);
    EXPECT_NEAR(back[i].light.Diffuse.b, e[i].light.Diffuse.b, 1e-6f);
    EXPECT_NEAR(back[i].light.Position.x, e[i].light.Position.x, 1e-6f);
  }
  EXPECT_EQ(FormatLightText(back), written);
}

TEST(LightFile, MissingCommasAndShortEntriesReadAsZero) {
  const std::vector<LightEntry> e = ParseLightText("short\n1\nD\n5\n0,0\n1,0.5\n");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_FLOAT_EQ(e[0].light.Position.x, 5.0f);
  EXPECT_FLOAT_EQ(e[0].light.Position.y, 0.0f);  // not read from the next line
  EXPECT_FLOAT_EQ(e[0].light.Ambient.r, 0.5f);
  EXPECT_FLOAT_EQ(e[0].light.Ambient.g, 0.0f);
  EXPECT_FLOAT_EQ(e[0].light.Diffuse.r, 0.0f);  // the entry ended early
}

TEST(LightFile, AShorterSetLeavesTheOtherLightsAlone) {
  HeadlessServices services;
  TempDirectory dir;
  const std::string normal = dir.Path() + "/light.txt", reversed = dir.Path() + "/light_rev.txt";
  std::string why;
  ASSERT_TRUE(WriteFileAtomically(normal, kThree, &why));
  const std::vector<LightEntry> three = ParseLightText(kThree);
  ASSERT_TRUE(WriteFileAtomically(reversed, FormatLightText({three[1], three[1]}), &why));
  Light light(normal, reversed);
  ASSERT_EQ(light.Load(), 1);
  GraphicsDevice* d = GetDevice();
  EXPECT_EQ(d->GetLight(2).Type, 0);
  EXPECT_TRUE(d->GetLightEnable(2));
  light.Apply(1);
  EXPECT_EQ(d->GetLight(0).Type, D3DLIGHT_POINT);
  EXPECT_FALSE(d->GetLightEnable(0));
  EXPECT_TRUE(d->GetLightEnable(2));  // light 2 as it was
  EXPECT_FLOAT_EQ(d->GetLight(2).Diffuse.r, 1.0f);
}

TEST(LightFile, SavingReplacesFilesWholeOrNotAtAll) {
  HeadlessServices services;
  TempDirectory dir;
  const std::string normal = dir.Path() + "/light.txt", reversed = dir.Path() + "/light_rev.txt";
  std::string why;
  ASSERT_TRUE(WriteFileAtomically(normal, kThree, &why));
  ASSERT_TRUE(WriteFileAtomically(reversed, kThree, &why));
  {
    Light light(normal, reversed);
    ASSERT_EQ(light.Load(), 1);
    // The reversed file's place is taken by a directory: its write must fail
    // without touching anything, and without leaving a temporary file.
    std::filesystem::remove(reversed);
    std::filesystem::create_directory(reversed);
    testing::internal::CaptureStderr();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("ファイル書き出しオープンに失敗 -Light-"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(reversed));
  EXPECT_EQ(FormatLightText(ParseLightText(ReadWholeFile(normal))),
            FormatLightText(ParseLightText(kThree)));
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 2);  // light.txt and the directory: no temporary left behind
}

TEST(LightFile, AMissingFileFailsTheLoadAndIsNotCreated) {
  HeadlessServices services;
  TempDirectory dir;
  testing::internal::CaptureStderr();
  {
    Light light(dir.Path() + "/none.txt", dir.Path() + "/none_rev.txt");
    EXPECT_EQ(light.Load(), 0);
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("none.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/none_rev.txt"));
}

TEST(LightFile, HugeValuesAreWrittenSoTheyReadBackTheSame) {
  const std::string huge =
      "huge\n1\nD\n1e38,-1e38,3\n1e38,2,3\n1e38,1e38,1e38,1e38\n0,0,0,0\nnan,1,1,1\n";
  const std::string written = FormatLightText(ParseLightText(huge));
  // Every line fits what the reader keeps, so writing again changes nothing.
  size_t start = 0;
  while (start < written.size()) {
    const size_t end = written.find('\n', start);
    EXPECT_LE(end - start + 1, 127u) << written.substr(start, end - start);
    start = end + 1;
  }
  EXPECT_EQ(FormatLightText(ParseLightText(written)), written);
  EXPECT_NE(written.find("1000000.000000,-1000000.000000,3.000000\n"), std::string::npos)
      << written;
}
