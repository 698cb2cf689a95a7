// Meshes: loading from files, drawing subset by subset, picking with the
// meaning of D3DXIntersect, the texture colour key, and the preload's order
// and clean-up when a file is missing.
#include "render/mesh.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/report_error.h"
#include "platform/common/state_device.h"
#include "platform/graphics.h"
#include "platform/png_image.h"
#include "render/constants.h"
#include "render/preload.h"
#include "tests/test_support.h"

namespace {

class MeshTest : public testing::Test {
 protected:
  void SetUp() override {
    services_ = std::make_unique<HeadlessServices>();
    ClearReportedErrors();
  }
  void TearDown() override { services_.reset(); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = dir_.Path() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  TempDirectory dir_;
  std::unique_ptr<HeadlessServices> services_;
};

constexpr Vec3 kDown{0, -1, 0};

}  // namespace

TEST_F(MeshTest, PicksTheNearestFaceLikeD3DXIntersect) {
  Mesh cube;
  ASSERT_EQ(cube.Load((RunDirectory() + "/Resource_Orvelune/Object/Box/box.x").c_str()), 1);
  const Matrix world = MatrixTranslation(3, 0, 0);
  Vec3 hit;
  // From above: the top face of the cube at (3, 0, 0).
  ASSERT_EQ(cube.Pick(world, {3.2f, 5, 0.1f}, kDown, &hit), 1);
  EXPECT_NEAR(hit.x, 3.2f, 1e-5f);
  EXPECT_NEAR(hit.y, 0.5f, 1e-5f);
  EXPECT_NEAR(hit.z, 0.1f, 1e-5f);
  // From inside: the face it leaves through.
  ASSERT_EQ(cube.Pick(world, {3, 0, 0}, {0, 0, 2}, &hit), 1);
  EXPECT_NEAR(hit.z, 0.5f, 1e-5f);
  // Pointing away: nothing, and the output is left alone.
  hit = {9, 9, 9};
  EXPECT_EQ(cube.Pick(world, {3, 5, 0}, {0, 1, 0}, &hit), 0);
  EXPECT_EQ(hit, Vec3(9, 9, 9));
  // The world matrix is honoured: a turned, raised cube.
  ASSERT_EQ(
      cube.Pick(MatrixRotationY(kPi / 4) * MatrixTranslation(0, 2, 0), {0, 10, 0}, kDown, &hit), 1);
  EXPECT_NEAR(hit.y, 2.5f, 1e-5f);
  // An empty record picks nothing.
  Mesh empty;
  EXPECT_EQ(empty.Pick(world, {3, 5, 0}, kDown, &hit), 0);
  Vec3 corners[3] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
  empty.GetFaceVertices(0, corners);
  EXPECT_EQ(corners[0], Vec3(7, 7, 7));
}

TEST_F(MeshTest, DrawsEverySubsetWithItsMaterialAndTexture) {
  const std::string png = dir_.Path() + "/t.png";
  Image img{2, 2, {0xFF102030, 0xFF102030, 0xFF102030, 0xFF102030}};
  std::string why;
  ASSERT_TRUE(SavePng(png, img, &why)) << why;
  const std::string path =
      Write("two.x",
            "xof 0303txt 0032\n"
            "Mesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 2; 3;0,1,2;, 3;0,2,3;;\n"
            "MeshMaterialList { 2; 2; 0,1;;\n"
            "Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"" +
                png +
                "\"; } }\n"
                "Material { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; } } }\n");
  Mesh mesh;
  ASSERT_EQ(mesh.Load(path.c_str()), 1);
  ASSERT_EQ(mesh.materialCount, 2u);
  ASSERT_NE(mesh.textures[0], nullptr);
  EXPECT_EQ(mesh.textures[1], nullptr);
  EXPECT_EQ(mesh.textures[0]->Width(), 2);
  GraphicsDevice* d = GetDevice();
  d->BeginScene();
  mesh.Draw();
  EXPECT_FLOAT_EQ(d->GetMaterial().Diffuse.b, 1.0f);  // the last subset's material
  EXPECT_EQ(d->GetTexture(0), nullptr);
  d->EndScene();
  d->Present();
  EXPECT_EQ(d->LastFrameStats().drawCalls, 2);
  EXPECT_EQ(d->LastFrameStats().primitives, 2);
  EXPECT_EQ(d->LastFrameStats().errors, 0);
  mesh.Release();
  mesh.Release();  // a second release does nothing
  EXPECT_EQ(mesh.mesh, nullptr);
}

TEST_F(MeshTest, ReportsMissingAndBrokenFilesNamingThem) {
  Mesh mesh;
  testing::internal::CaptureStderr();
  EXPECT_EQ(mesh.Load((dir_.Path() + "/nothing.x").c_str()), 0);
  EXPECT_EQ(mesh.Load(Write("bad.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;").c_str()), 0);
  EXPECT_EQ(mesh.Load(Write("tex.x",
                            "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                            "MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;;"
                            " TextureFilename { \"no/such.png\"; } } } }\n")
                          .c_str()),
            0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("nothing.x"), std::string::npos) << err;
  EXPECT_NE(err.find("bad.x"), std::string::npos) << err;
  EXPECT_NE(err.find("no/such.png"), std::string::npos) << err;
  ASSERT_EQ(ReportedErrors().size(), 3u);
  EXPECT_EQ(ReportedErrors()[0], "メッシュの読み込みに失敗");
  EXPECT_EQ(ReportedErrors()[2], "テクスチャの読み込みに失敗 -mesh-");
}

TEST_F(MeshTest, OpaquePureGreenBecomesTransparent) {
  const std::string png = dir_.Path() + "/key.png";
  Image img{4, 1, {0xFF00FF00, 0xFF00FF00, 0xFF00FE00, 0xFF00FE00}};
  std::string why;
  ASSERT_TRUE(SavePng(png, img, &why)) << why;
  services_.reset();
  HeadlessServices pictures(false, false, true);
  Texture* t = LoadTexture(png.c_str());
  ASSERT_NE(t, nullptr);
  // Draw it over white with alpha blending; read the two pixels back.
  GraphicsDevice* d = GetDevice();
  ASSERT_EQ(InitSprite(), 1);
  d->BeginScene();
  d->Clear(D3DCLEAR_TARGET, 0xFFFFFFFF, 1, 0);
  GetSprite()->Begin(D3DXSPRITE_ALPHABLEND);
  GetSprite()->Draw(t, nullptr, nullptr, nullptr, 0xFFFFFFFF);
  GetSprite()->End();
  d->EndScene();
  d->Present();
  std::vector<uint32_t> px;
  int w = 0, h = 0;
  ASSERT_TRUE(d->ReadLastFrame(&w, &h, &px));
  EXPECT_EQ(px[0] & 0xFFFFFF, 0xFFFFFFu);  // keyed out: the white shows through
  EXPECT_EQ(px[3] & 0xFFFFFF, 0x00FE00u);  // nearly green stays
  ReleaseSprite();
  t->Release();
}

TEST_F(MeshTest, PreloadStopsAtAMissingWallPieceAndReleasesCleanly) {
  // A copy of the content tree (as links) without wall_break17.x.
  namespace fs = std::filesystem;
  const fs::path source = fs::path(RunDirectory()) / "Resource_Orvelune";
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    const fs::path rel = fs::relative(entry.path(), source);
    const fs::path target = fs::path(dir_.Path()) / "Resource_Orvelune" / rel;
    if (entry.is_directory())
      fs::create_directories(target);
    else if (rel.filename() != "wall_break17.x")
      fs::create_symlink(entry.path(), target);
  }
  ScopedWorkingDirectory cwd(dir_.Path());
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadSharedAssets(), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("wall_break17.x"), std::string::npos) << err;
  ASSERT_EQ(ReportedErrors().size(), 2u);
  EXPECT_EQ(ReportedErrors()[1], "ウォールメッシュの初期化に失敗 -MaterialLoad-");
  for (int i = 0; i < kObjectMeshCount; ++i) EXPECT_NE(GetObjectMesh(i)->mesh, nullptr) << i;
  for (int i = 0; i < 17; ++i) EXPECT_NE(GetWallMesh(i)->mesh, nullptr) << i;
  EXPECT_EQ(GetWallMesh(17)->mesh, nullptr);
  EXPECT_EQ(GetItemMesh(0)->mesh, nullptr);
  EXPECT_EQ(GetSharedTexture(0), nullptr);
  ReleaseSharedAssets();
  ReleaseSharedAssets();
  for (int i = 0; i < kObjectMeshCount; ++i) EXPECT_EQ(GetObjectMesh(i)->mesh, nullptr);
  for (int i = 0; i < kWallMeshCount; ++i) EXPECT_EQ(GetWallMesh(i)->mesh, nullptr);
}

TEST_F(MeshTest, PreloadLoadsTheGeneratedTree) {
  ScopedWorkingDirectory cwd(RunDirectory());
  ASSERT_EQ(LoadSharedAssets(), 1);
  for (int i = 0; i < kSharedTextureCount; ++i) EXPECT_NE(GetSharedTexture(i), nullptr) << i;
  EXPECT_GT(GetObjectMesh(kMeshPlayer)->mesh->FaceCount(), 100u);
  ReleaseSharedAssets();
}
