// The generated content keeps the promises the game code relies on: every
// path of the tables exists, models have the shapes and origins the objects
// expect, pictures are large enough for the rectangles cut from them, and the
// music is music (long enough, not clipped, not silent).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <set>

#include "platform/png_image.h"
#include "platform/sound.h"
#include "render/constants.h"
#include "render/xfile.h"
#include "tests/test_support.h"

namespace {

struct Bounds {
  Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
};

XModel Model(const std::string& relative) {
  const std::string bytes = ReadWholeFile(RunDirectory() + "/" + relative);
  XModel m;
  std::string why;
  EXPECT_TRUE(ParseXFile(bytes.data(), bytes.size(), &m, &why)) << relative << ": " << why;
  return m;
}

Bounds BoundsOf(const XModel& m) {
  Bounds b;
  for (const XVertex& v : m.vertices) {
    b.lo = {std::min(b.lo.x, v.position.x), std::min(b.lo.y, v.position.y),
            std::min(b.lo.z, v.position.z)};
    b.hi = {std::max(b.hi.x, v.position.x), std::max(b.hi.y, v.position.y),
            std::max(b.hi.z, v.position.z)};
  }
  return b;
}

Image Picture(const std::string& relative) {
  Image img;
  std::string why;
  EXPECT_TRUE(LoadPng(RunDirectory() + "/" + relative, &img, &why)) << why;
  return img;
}

bool Exists(const char* path) {
  return std::filesystem::exists(RunDirectory() + "/" + path);
}

}  // namespace

TEST(Content, EveryTablePathExists) {
  for (const char* p : kAssetPaths) EXPECT_TRUE(Exists(p)) << p;
  for (const char* p : kGameSoundPaths) EXPECT_TRUE(Exists(p)) << p;
  for (const char* p : kEventSoundPaths) EXPECT_TRUE(Exists(p)) << p;
  for (const char* p : kTitleSoundPaths) EXPECT_TRUE(Exists(p)) << p;
  for (const char* p : kCreditSoundPaths) EXPECT_TRUE(Exists(p)) << p;
  for (const char* p : kScenePicturePaths) EXPECT_TRUE(Exists(p)) << p;
  for (const char* p : kTitlePicturePaths) EXPECT_TRUE(Exists(p)) << p;
  for (const char* p : {kEnemyMeshPath, kScorpionMeshPath, kPolluxMeshPath, kCastorMeshPath,
                        kFishMeshPaths[0], kFishMeshPaths[1], kAquariusMeshPath,
                        kProvidenceMeshPath, kRightHandMeshPath, kLeftHandMeshPath})
    EXPECT_TRUE(Exists(p)) << p;
}

TEST(Content, EveryModelLoadsAndItsTexturesExist) {
  namespace fs = std::filesystem;
  int models = 0;
  for (const auto& e : fs::recursive_directory_iterator(RunDirectory() + "/Resource_Orvelune")) {
    if (e.path().extension() != ".x") continue;
    ++models;
    const std::string path = fs::relative(e.path(), RunDirectory()).string();
    const XModel m = Model(path);
    for (const XMaterial& mat : m.materials)
      if (!mat.textureFile.empty()) {
        EXPECT_TRUE(Exists(mat.textureFile.c_str())) << mat.textureFile;
      }
    // Corners alike are one vertex (a renderer shades each vertex once): no
    // subset holds two vertices with the same position, normal and texture
    // coordinates.
    int twice = 0;
    for (size_t s = 0; s + 1 < m.subsetStart.size(); ++s) {
      std::set<std::array<float, 8>> seen;
      const std::set<uint16_t> used(m.indices.begin() + m.subsetStart[s] * 3,
                                    m.indices.begin() + m.subsetStart[s + 1] * 3);
      for (uint16_t i : used) {
        const XVertex& v = m.vertices[i];
        twice += !seen.insert({v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y,
                               v.normal.z, v.uv.x, v.uv.y})
                      .second;
      }
    }
    EXPECT_EQ(twice, 0) << path << ": corners alike held as separate vertices";
  }
  EXPECT_EQ(models, 14 + 37 + 1 + 10);
}

TEST(Content, ModelShapesMeetTheGameCode) {
  const Bounds box = BoundsOf(Model("Resource_Orvelune/Object/Box/box.x"));
  EXPECT_FLOAT_EQ(box.lo.x, -0.5f);
  EXPECT_FLOAT_EQ(box.hi.y, 0.5f);
  EXPECT_FLOAT_EQ(box.hi.z, 0.5f);
  // The wall fills its collision box (1, 2.5, 6 with x and z exchanged at yaw 0).
  const Bounds wall = BoundsOf(Model("Resource_Orvelune/Object/Wall/wall.x"));
  EXPECT_FLOAT_EQ(wall.hi.x - wall.lo.x, 6.0f);
  EXPECT_FLOAT_EQ(wall.hi.y - wall.lo.y, 2.5f);
  EXPECT_FLOAT_EQ(wall.hi.z - wall.lo.z, 1.0f);
  EXPECT_FLOAT_EQ(wall.lo.x + wall.hi.x, 0.0f);
  // The 36 pieces tile it: inside it, volumes adding up, no two alike.
  float volume = 0;
  std::vector<Vec3> centres;
  for (int i = 1; i <= 36; ++i) {
    char path[64];
    std::snprintf(path, sizeof path, "Resource_Orvelune/Object/Wall/wall_break%02d.x", i);
    const Bounds p = BoundsOf(Model(path));
    EXPECT_GE(p.lo.x, wall.lo.x - 1e-5f);
    EXPECT_LE(p.hi.y, wall.hi.y + 1e-5f);
    volume += (p.hi.x - p.lo.x) * (p.hi.y - p.lo.y) * (p.hi.z - p.lo.z);
    const Vec3 c = (p.lo + p.hi) * 0.5f;
    for (const Vec3& other : centres) EXPECT_GT(Vec3Length(c - other), 0.3f);
    centres.push_back(c);
  }
  EXPECT_NEAR(volume, 15.0f, 1e-3f);
  // Gate leaves turn about a hinge 3 units from their origin.
  const Bounds gate1 = BoundsOf(Model("Resource_Orvelune/Object/Gate/gate01.x"));
  const Bounds gate2 = BoundsOf(Model("Resource_Orvelune/Object/Gate/gate02.x"));
  EXPECT_NEAR(gate1.hi.x, 3.0f, 0.1f);
  EXPECT_NEAR(gate1.lo.x, 0.0f, 0.1f);
  EXPECT_NEAR(gate2.lo.x, -3.0f, 0.1f);
  EXPECT_NEAR(gate2.hi.x, 0.0f, 0.1f);
  EXPECT_NEAR(gate1.lo.y, 0.0f, 1e-3f);
  // Bridges and rails are one cell long; decks top out at the chips' top.
  for (const char* p :
       {"Resource_Orvelune/Object/Bridge/bridge_a.x", "Resource_Orvelune/Object/Bridge/bridge_b.x",
        "Resource_Orvelune/Object/Bridge/handrail_a.x",
        "Resource_Orvelune/Object/Bridge/handrail_b.x"}) {
    const Bounds b = BoundsOf(Model(p));
    EXPECT_GE(b.lo.z, -0.5f - 1e-4f) << p;
    EXPECT_LE(b.hi.z, 0.5f + 1e-4f) << p;
  }
  EXPECT_NEAR(BoundsOf(Model("Resource_Orvelune/Object/Bridge/bridge_a.x")).hi.y, 0.5f, 1e-4f);
  // Characters stand on their origin.
  for (const char* p :
       {"Resource_Orvelune/Character/Player/player.x", kEnemyMeshPath, kScorpionMeshPath,
        kPolluxMeshPath, kCastorMeshPath, kAquariusMeshPath, kRightHandMeshPath}) {
    EXPECT_NEAR(BoundsOf(Model(p)).lo.y, 0.0f, 0.03f) << p;
  }
  // The star is about one unit across; the river wave is long along x.
  const Bounds star = BoundsOf(Model("Resource_Orvelune/Object/Box/hoshi.x"));
  EXPECT_NEAR(star.hi.y - star.lo.y, 1.0f, 0.15f);
  const Bounds wave = BoundsOf(Model("Resource_Orvelune/Object/Wave/amanokawa_nami.x"));
  EXPECT_GE(wave.hi.x - wave.lo.x, 250.0f);
  EXPECT_LE(wave.hi.z - wave.lo.z, 4.0f);
}

TEST(Content, PicturesHoldEveryRectangleTheScreensCut) {
  const Image hud = Picture("Resource_Orvelune/Texture/UI/OrveluneChip.png");
  EXPECT_GE(hud.width, 1086 + 457);
  EXPECT_GE(hud.height, 684 + 171);
  const Image pause = Picture("Resource_Orvelune/Texture/UI/Pause.png");
  EXPECT_GE(pause.width, 391);
  EXPECT_GE(pause.height, 548);
  const Image title = Picture("Resource_Orvelune/Event/Title/TitleBack.png");
  EXPECT_EQ(title.width, 446 * 3);
  EXPECT_EQ(title.height, 902);
  const Image over = Picture("Resource_Orvelune/Event/game_over.png");
  EXPECT_GE(over.width, 640);
  EXPECT_GE(over.height, 384);
  EXPECT_GE(Picture("Resource_Orvelune/Event/game_clear.png").height, 278);
  EXPECT_GE(Picture("Resource_Orvelune/Texture/Map/player.png").height, 32);
  EXPECT_GT(Picture("Resource_Orvelune/Event/Credit/Credit.png").height, 720);
  for (const char* p :
       {"Resource_Orvelune/Event/hikobosi.png", "Resource_Orvelune/Event/orihime.png",
        "Resource_Orvelune/Event/tentei.png"}) {
    const Image portrait = Picture(p);
    EXPECT_EQ(portrait.width, 320);
    EXPECT_EQ(portrait.height, 720);
  }
  // The menu items hold visible letters in their cells.
  int lit = 0;
  for (int y = 720; y < 902; ++y)
    for (int x = 0; x < 446; ++x)
      lit += (title.argb[static_cast<size_t>(y) * title.width + x] >> 24) > 128;
  EXPECT_GT(lit, 1000);
}

// The pictures that name controls hold both variants in both languages: the
// boards' ten pictures in a row for the keys and a row for the pad, and the
// pause sheet's key pictures with the pad's buttons beside them. Every cell
// shows something, and the pad's row differs from the keys' exactly where a
// picture names a control (the first three).
TEST(Content, EveryPromptPictureHasItsKeyAndPadVariantsInBothLanguages) {
  auto litIn = [](const Image& image, int x0, int y0, int x1, int y1) {
    int lit = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        lit += (image.argb[static_cast<size_t>(y) * image.width + x] >> 24) > 128;
    return lit;
  };
  auto sameCells = [](const Image& image, int cell) {
    for (int y = 0; y < 128; ++y)
      for (int x = 128 * cell; x < 128 * cell + 128; ++x)
        if (image.argb[static_cast<size_t>(y) * image.width + x] !=
            image.argb[static_cast<size_t>(y + 128) * image.width + x])
          return false;
    return true;
  };
  for (const char* folder : {"Resource_Orvelune/", "Resource_Orvelune/en/"}) {
    SCOPED_TRACE(folder);
    const Image buttons = Picture(std::string(folder) + "Infomation/Button.png");
    ASSERT_EQ(buttons.width, 1280);
    ASSERT_EQ(buttons.height, 256);
    for (int cell = 0; cell < 10; ++cell) {
      EXPECT_GT(litIn(buttons, 128 * cell, 0, 128 * cell + 128, 128), 200) << "keys " << cell;
      EXPECT_GT(litIn(buttons, 128 * cell, 128, 128 * cell + 128, 256), 200) << "pad " << cell;
      EXPECT_EQ(sameCells(buttons, cell), cell >= 3) << "cell " << cell;
    }
    const Image pause = Picture(std::string(folder) + "Texture/UI/Pause.png");
    ASSERT_GE(pause.width, 372);
    ASSERT_GE(pause.height, 476);
    // P and Enter, START and A.
    EXPECT_GT(litIn(pause, 0, 370, 72, 428), 1000);
    EXPECT_GT(litIn(pause, 0, 428, 65, 476), 1000);
    EXPECT_GT(litIn(pause, 300, 370, 372, 428), 1000);
    EXPECT_GT(litIn(pause, 300, 428, 365, 476), 800);
  }
}

TEST(Content, TheTitlePictureCoversTheScreenOpaquely) {
  // The title scene leaves out the river under its picture once the picture
  // is fully faded in, and draws the picture without blending, so the screen
  // part of the picture must hide it: no translucent texel, and none of the
  // colour key's pure green (which loads as transparent).
  for (const char* p : {"Resource_Orvelune/Event/Title/TitleBack.png",
                        "Resource_Orvelune/en/Event/Title/TitleBack.png"}) {
    const Image title = Picture(p);
    ASSERT_GE(title.width, 1280) << p;
    ASSERT_GE(title.height, 720) << p;
    int seeThrough = 0;
    for (int y = 0; y < 720; ++y)
      for (int x = 0; x < 1280; ++x)
        seeThrough += (title.argb[static_cast<size_t>(y) * title.width + x] >> 24) != 0xFF ||
                      title.argb[static_cast<size_t>(y) * title.width + x] == 0xFF00FF00u;
    EXPECT_EQ(seeThrough, 0) << p;
  }
}

TEST(Content, MusicIsLongEnoughUnclippedAndAudible) {
  for (const char* name :
       {"Main_BGM", "Nomal_Battle", "Boss_Battle", "Opening", "Ending", "Credit"}) {
    const std::string bytes =
        ReadWholeFile(RunDirectory() + "/Resource_Orvelune/Sound/BGM/" + name + ".wav");
    WaveData w;
    std::string why;
    ASSERT_TRUE(ParseWave(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &w, &why))
        << name;
    EXPECT_EQ(w.format.channels, 2) << name;
    const double seconds = static_cast<double>(w.samples.size()) / w.format.avgBytesPerSec;
    EXPECT_GE(seconds, 20.0) << name;
    EXPECT_LE(seconds, 60.0) << name;
    const auto* s = reinterpret_cast<const int16_t*>(w.samples.data());
    const size_t n = w.samples.size() / 2;
    double sum = 0;
    int peak = 0, clipped = 0;
    for (size_t i = 0; i < n; ++i) {
      peak = std::max(peak, std::abs(static_cast<int>(s[i])));
      clipped += std::abs(static_cast<int>(s[i])) >= 32767;
      sum += static_cast<double>(s[i]) * s[i];
    }
    const double rms = std::sqrt(sum / n) / 32768.0;
    EXPECT_EQ(clipped, 0) << name;
    EXPECT_GT(rms, 0.05) << name;  // well above silence
    EXPECT_GT(peak, 20000) << name;
  }
}

TEST(Content, EverySoundEffectIsAudible) {
  for (const char* p : kGameSoundPaths) {
    const std::string bytes = ReadWholeFile(RunDirectory() + "/" + p);
    WaveData w;
    std::string why;
    ASSERT_TRUE(ParseWave(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &w, &why))
        << p << why;
    const auto* s = reinterpret_cast<const int16_t*>(w.samples.data());
    int peak = 0;
    for (size_t i = 0; i < w.samples.size() / 2; ++i)
      peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    EXPECT_GT(peak, 8000) << p;
  }
}
