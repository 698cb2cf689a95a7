// The OpenGL device against pictures worked out by hand: small offscreen
// renders of a quad that fills the screen, read back pixel by pixel.
#include "platform/sdl_gl/gl_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "platform/graphics_device.h"
#include "platform/sprite.h"

namespace {

struct LitVertex {
  float x, y, z;
  float nx, ny, nz;
  D3DCOLOR color;
  float u, v;
};

const D3DVERTEXELEMENT9 kLitElements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                          {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                          {0, 24, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                          {0, 28, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                          D3DDECL_END()};

const D3DVERTEXELEMENT9 kNoColorElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
    {0, 28, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

class GlDeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    device_.reset(CreateOffscreenGlDevice(&error, windowWidth_, windowHeight_, pictureSize_));
    ASSERT_TRUE(device_) << error;
    vb_ = device_->CreateVertexBuffer(4 * sizeof(LitVertex));
    ib_ = device_->CreateIndexBuffer(4 * sizeof(uint16_t));
    withColor_ = device_->CreateVertexDeclaration(kLitElements);
    noColor_ = device_->CreateVertexDeclaration(kNoColorElements);
    auto* idx = static_cast<uint16_t*>(ib_->Lock());
    const uint16_t fan[4] = {0, 1, 2, 3};
    std::memcpy(idx, fan, sizeof fan);
    ib_->Unlock();
    // Camera at the origin looking down +z; the screen spans -1..1.
    device_->SetTransform(D3DTS_PROJECTION, MatrixOrthoOffCenterLH(-1, 1, -1, 1, 0, 10));
  }

  void TearDown() override {
    if (vb_) vb_->Release();
    if (ib_) ib_->Release();
    if (withColor_) withColor_->Release();
    if (noColor_) noColor_->Release();
    device_.reset();
  }

  // A quad filling the screen at depth z; clockwise on screen unless flipped.
  void Quad(float z, D3DCOLOR color, bool counterClockwise = false) {
    auto* v = static_cast<LitVertex*>(vb_->Lock());
    const LitVertex cw[4] = {{-1, -1, z, 0, 0, -1, color, 0, 1},
                             {-1, 1, z, 0, 0, -1, color, 0, 0},
                             {1, 1, z, 0, 0, -1, color, 1, 0},
                             {1, -1, z, 0, 0, -1, color, 1, 1}};
    for (int i = 0; i < 4; ++i) v[i] = cw[counterClockwise ? 3 - i : i];
    vb_->Unlock();
  }

  void Draw(bool vertexColor = true) {
    device_->SetVertexDeclaration(vertexColor ? withColor_ : noColor_);
    device_->SetStreamSource(0, vb_, 0, sizeof(LitVertex));
    device_->SetIndices(ib_);
    device_->DrawIndexedPrimitive(D3DPT_TRIANGLEFAN, 0, 0, 4, 0, 2);
  }

  void Begin(D3DCOLOR clear = 0xFF000000) {
    device_->BeginScene();
    device_->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
  }

  // The pixel at (x, y) of the finished frame, as 0xAARRGGBB.
  uint32_t Finish(int x = 640, int y = 360) {
    device_->EndScene();
    device_->Present();
    int w = 0, h = 0;
    EXPECT_TRUE(device_->ReadLastFrame(&w, &h, &pixels_));
    return pixels_[y * w + x];
  }

  static void ExpectColor(uint32_t actual, int r, int g, int b, int tolerance = 2) {
    EXPECT_NEAR(static_cast<int>((actual >> 16) & 0xFF), r, tolerance) << std::hex << actual;
    EXPECT_NEAR(static_cast<int>((actual >> 8) & 0xFF), g, tolerance) << std::hex << actual;
    EXPECT_NEAR(static_cast<int>(actual & 0xFF), b, tolerance) << std::hex << actual;
  }

  int windowWidth_ = kBackBufferWidth, windowHeight_ = kBackBufferHeight;
  PictureSize pictureSize_ = PictureSize::kFixed;
  std::unique_ptr<GraphicsDevice> device_;
  VertexBuffer* vb_ = nullptr;
  IndexBuffer* ib_ = nullptr;
  VertexDeclaration* withColor_ = nullptr;
  VertexDeclaration* noColor_ = nullptr;
  std::vector<uint32_t> pixels_;
};

}  // namespace

TEST_F(GlDeviceTest, UnlitVerticesShowTheirColour) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  Quad(5, 0xFFFF0000);
  Begin();
  Draw();
  ExpectColor(Finish(), 255, 0, 0, 0);
  EXPECT_EQ(device_->LastFrameStats().drawCalls, 1);
  EXPECT_EQ(device_->LastFrameStats().primitives, 2);
}

TEST_F(GlDeviceTest, DirectionalLightAndAmbientLightAMaterial) {
  D3DMATERIAL9 m{};
  m.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
  m.Ambient = {1, 1, 1, 1};
  device_->SetMaterial(m);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Direction = {0, 0, 1};  // shining away from the viewer onto the quad
  device_->SetLight(0, light);
  device_->LightEnable(0, true);
  device_->SetRenderState(D3DRS_AMBIENT, 0x00404040);
  Quad(5, 0);
  Begin();
  Draw(false);
  // diffuse * (N.L = 1) + ambient 64/255
  ExpectColor(Finish(), static_cast<int>((0.5f + 64 / 255.0f) * 255 + 0.5f),
              static_cast<int>((0.25f + 64 / 255.0f) * 255 + 0.5f), 255);

  // Lit from behind, only the ambient part remains.
  light.Direction = {0, 0, -1};
  device_->SetLight(0, light);
  Begin();
  Draw(false);
  ExpectColor(Finish(), 64, 64, 64);

  // A disabled light adds nothing; emissive adds to everything.
  device_->LightEnable(0, false);
  m.Emissive = {0.25f, 0, 0, 0};
  device_->SetMaterial(m);
  Begin();
  Draw(false);
  ExpectColor(Finish(), 64 + 64, 64, 64);
}

// A second stage that multiplies the first stage's lit colour by the texture
// factor tints a model and keeps its shading (a boss flashing red).
TEST_F(GlDeviceTest, StageOneTintsTheLitColourByTheFactor) {
  D3DMATERIAL9 m{};
  m.Diffuse = {0.5f, 0.75f, 1.0f, 1.0f};
  device_->SetMaterial(m);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Direction = {0, 0, 1};
  device_->SetLight(0, light);
  device_->LightEnable(0, true);
  device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFF0000);
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
  device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
  Quad(5, 0);
  Begin();
  Draw(false);
  ExpectColor(Finish(), 128, 0, 0);
  // Half the light, half the red: shaded, not flat.
  light.Diffuse = {0.5f, 0.5f, 0.5f, 1};
  device_->SetLight(0, light);
  Begin();
  Draw(false);
  ExpectColor(Finish(), 64, 0, 0);
  // Stage 1 turned off again: the lit colour as it is.
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  Begin();
  Draw(false);
  ExpectColor(Finish(), 64, 96, 128);
}

TEST_F(GlDeviceTest, EachLightAddsItsShareAndAPointLightOutOfRangeNone) {
  // Lit per vertex: the quad's corners are 5 away along z and about 1.4 to
  // the side of the eye, where both lights below reach the same way.
  D3DMATERIAL9 m{};
  m.Diffuse = {1, 1, 1, 1};
  device_->SetMaterial(m);
  D3DLIGHT9 point{};
  point.Type = D3DLIGHT_POINT;
  point.Diffuse = {1, 0, 0, 1};
  point.Position = {0, 0, 0};
  point.Attenuation0 = 1;
  point.Range = 2;  // the corners are about 5.2 away
  D3DLIGHT9 sun{};
  sun.Type = D3DLIGHT_DIRECTIONAL;
  sun.Diffuse = {0, 0, 0.5f, 1};
  sun.Direction = {0, 0, 1};
  device_->SetLight(0, point);
  device_->SetLight(1, sun);
  device_->LightEnable(0, true);
  device_->LightEnable(1, true);
  Quad(5, 0);
  Begin();
  Draw(false);
  ExpectColor(Finish(), 0, 0, 128);
  // In range, the point light adds N.L = 5 / sqrt(27) of its red.
  point.Range = 100;
  device_->SetLight(0, point);
  Begin();
  Draw(false);
  ExpectColor(Finish(), static_cast<int>(255 * 5 / std::sqrt(27.0f) + 0.5f), 0, 128);
}

TEST_F(GlDeviceTest, TextureModulatesAndTheFactorBlends) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  const uint32_t texels[4] = {0xFF4080C0, 0xFF4080C0, 0xFF4080C0, 0xFF4080C0};
  Texture* tex = device_->CreateTexture(2, 2, texels);
  ASSERT_TRUE(tex);
  device_->SetTexture(0, tex);
  Quad(5, 0xFF808080);  // half grey vertices modulate the texture
  Begin();
  Draw();
  ExpectColor(Finish(), 0x40 * 128 / 255, 0x80 * 128 / 255, 0xC0 * 128 / 255);

  // The translucent recipe: alpha = texture alpha x texture factor alpha,
  // blended over a white background.
  device_->SetTexture(0, nullptr);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80000000);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
  Quad(5, 0xFF000000);
  Begin(0xFFFFFFFF);
  Draw();
  ExpectColor(Finish(), 127, 127, 127);

  // Selecting the texture factor as the colour.
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF20A040);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  Begin();
  Draw();
  ExpectColor(Finish(), 0x20, 0xA0, 0x40, 0);
  tex->Release();
}

TEST_F(GlDeviceTest, TextureTransformShiftsCoordinates) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  const uint32_t texels[2] = {0xFFFF0000, 0xFF0000FF};  // left red, right blue
  Texture* tex = device_->CreateTexture(2, 1, texels);
  device_->SetTexture(0, tex);
  Quad(5, 0xFFFFFFFF);
  Begin();
  Draw();
  ExpectColor(Finish(320, 360), 255, 0, 0, 1);  // u = 0.25: the red texel's centre
  Matrix shift;
  shift[2][0] = 0.5f;  // two-component coordinates translate by the third row
  device_->SetTransform(D3DTS_TEXTURE0, shift);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  Begin();
  Draw();
  ExpectColor(Finish(320, 360), 0, 0, 255, 1);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  Begin();
  Draw();
  ExpectColor(Finish(320, 360), 255, 0, 0, 1);
  tex->Release();
}

TEST_F(GlDeviceTest, CullsCounterClockwiseFacesAndTestsDepth) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  Quad(5, 0xFF00FF00, true);
  Begin();
  Draw();
  ExpectColor(Finish(), 0, 0, 0, 0);  // culled by default
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  Begin();
  Draw();
  ExpectColor(Finish(), 0, 255, 0, 0);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

  // A nearer quad hides a farther one drawn after it.
  Begin();
  Quad(2, 0xFF00FF00);
  Draw();
  Quad(8, 0xFFFF0000);
  Draw();
  ExpectColor(Finish(), 0, 255, 0, 0);
}

TEST_F(GlDeviceTest, RefusesDrawsThatReachPastTheirBuffers) {
  Quad(5, 0xFFFFFFFF);
  Begin();
  device_->SetVertexDeclaration(withColor_);
  device_->SetStreamSource(0, vb_, 0, sizeof(LitVertex));
  device_->SetIndices(ib_);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLEFAN, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  Finish();
  EXPECT_EQ(device_->LastFrameStats().errors, 2);
  EXPECT_EQ(device_->LastFrameStats().drawCalls, 0);
}

// A large window (a high-DPI screen, say) gets the picture drawn at its own
// size, not 1280x720 scaled up: the game still draws in 1280x720 units.
class LargeWindowTest : public GlDeviceTest {
 protected:
  LargeWindowTest() {
    windowWidth_ = 2560;
    windowHeight_ = 1600;  // wider than 16:9 tall: letterboxed to 2560x1440
    pictureSize_ = PictureSize::kWindow;
  }
};

TEST_F(LargeWindowTest, ThePictureFollowsTheWindowAndKeepsItsContent) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  Begin(0xFF000000);
  Finish();  // the first frame is drawn at 1280x720, then the picture grows
  int w = 0, h = 0;
  ASSERT_TRUE(device_->ReadLastFrame(&w, &h, &pixels_));
  EXPECT_EQ(w, 1280);
  // The right half of the screen in green: its edge falls in the middle of
  // the larger picture too.
  Begin(0xFF000000);
  auto* v = static_cast<LitVertex*>(vb_->Lock());
  const D3DCOLOR green = 0xFF00FF00;
  const LitVertex half[4] = {{0, -1, 1, 0, 0, -1, green, 0, 1},
                             {0, 1, 1, 0, 0, -1, green, 0, 0},
                             {1, 1, 1, 0, 0, -1, green, 1, 0},
                             {1, -1, 1, 0, 0, -1, green, 1, 1}};
  std::copy(half, half + 4, v);
  vb_->Unlock();
  Draw();
  device_->EndScene();
  device_->Present();
  ASSERT_TRUE(device_->ReadLastFrame(&w, &h, &pixels_));
  EXPECT_EQ(w, 2560);
  EXPECT_EQ(h, 1440);
  ExpectColor(pixels_[720 * w + 1270], 0, 0, 0);
  ExpectColor(pixels_[720 * w + 1290], 0, 255, 0);
  ExpectColor(pixels_[10 * w + 2550], 0, 255, 0);
}

// A frame of the picture's own size goes straight into a window that can
// hold it; through the off-screen picture it is copied in once per frame,
// and a window of another size always takes the copy.
TEST(GlDeviceFrames, AWindowOfThePicturesSizeTakesItsFramesStraight) {
  struct Case {
    FrameTarget target;
    int width, height, copies;
  };
  for (const Case c : {Case{FrameTarget::kWindowWhenItFits, 1280, 720, 0},
                       Case{FrameTarget::kPicture, 1280, 720, 1},
                       Case{FrameTarget::kWindowWhenItFits, 1600, 900, 1}}) {
    std::string error;
    std::unique_ptr<GraphicsDevice> device(
        CreateOffscreenGlDevice(&error, c.width, c.height, PictureSize::kFixed, c.target));
    ASSERT_TRUE(device) << error;
    for (int frame = 0; frame < 3; ++frame) {
      device->BeginScene();
      device->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204080, 1.0f, 0);
      device->EndScene();
      device->Present();
      EXPECT_EQ(device->LastFrameStats().presentCopies, c.copies)
          << c.width << "x" << c.height << " frame " << frame;
    }
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(device->ReadLastFrame(&w, &h, &pixels));
    EXPECT_EQ(pixels[360 * w + 640], 0xFF204080u) << "the frame reads back either way";
  }
}

// Counting samples: what passed the depth test, each frame's read at the
// next Present; nothing is counted until asked.
TEST_F(GlDeviceTest, TheSampleCountIsWhatPassedTheDepthTest) {
  const int64_t screen = int64_t{kBackBufferWidth} * kBackBufferHeight;
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetRenderState(D3DRS_ZENABLE, 1);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  auto frame = [&](float firstZ, float secondZ) {
    Begin();
    Quad(firstZ, 0xFFFF0000);
    Draw();
    Quad(secondZ, 0xFF0000FF);
    Draw();
    Finish();
    return device_->LastFrameStats().samplesPassed;
  };
  EXPECT_EQ(frame(1, 5), -1) << "not counting";
  device_->CountSamples(true);
  // Each frame below returns the count of the frame before it.
  // Near then far: the far quad fails the depth test everywhere.
  EXPECT_EQ(frame(1, 5), -1) << "no frame was counted before this one";
  // Far then near: both pass, and the near one shows.
  EXPECT_EQ(frame(5, 1), screen);
  ExpectColor(pixels_[360 * kBackBufferWidth + 640], 0, 0, 255, 0);
  // A frame with only a clear passes no sample.
  Begin();
  Finish();
  EXPECT_EQ(device_->LastFrameStats().samplesPassed, 2 * screen);
  EXPECT_EQ(frame(1, 5), 0);
  device_->CountSamples(false);
  frame(1, 5);
  EXPECT_EQ(frame(1, 5), -1);
}

TEST_F(GlDeviceTest, AFixedPictureStays1280x720) {
  Begin();
  Finish();
  Begin();
  Finish();
  int w = 0, h = 0;
  ASSERT_TRUE(device_->ReadLastFrame(&w, &h, &pixels_));
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, 720);
}

TEST_F(GlDeviceTest, RunsOfSmallDrawsMergeWithoutChangingThePicture) {
  // Four quarter-screen quads, one small mesh drawn four times with its world
  // matrix moved: the device merges them into one draw.
  VertexBuffer* quad = device_->CreateVertexBuffer(4 * sizeof(LitVertex));
  IndexBuffer* list = device_->CreateIndexBuffer(6 * sizeof(uint16_t));
  auto* v = static_cast<LitVertex*>(quad->Lock());
  const LitVertex corners[4] = {{-0.5f, -0.5f, 0, 0, 0, -1, 0, 0, 1},
                                {-0.5f, 0.5f, 0, 0, 0, -1, 0, 0, 0},
                                {0.5f, 0.5f, 0, 0, 0, -1, 0, 1, 0},
                                {0.5f, -0.5f, 0, 0, 0, -1, 0, 1, 1}};
  std::memcpy(v, corners, sizeof corners);
  quad->Unlock();
  auto* idx = static_cast<uint16_t*>(list->Lock());
  const uint16_t triangles[6] = {0, 1, 2, 0, 2, 3};
  std::memcpy(idx, triangles, sizeof triangles);
  list->Unlock();
  const uint32_t red[4] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
  const uint32_t blue[4] = {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF};
  Texture* redTex = device_->CreateTexture(2, 2, red);
  Texture* blueTex = device_->CreateTexture(2, 2, blue);
  ASSERT_TRUE(redTex && blueTex);

  // A lit material too, so normals must reach world space correctly: the
  // quads are turned half a turn about y and still face the light.
  D3DMATERIAL9 m{};
  m.Diffuse = {1, 1, 1, 1};
  device_->SetMaterial(m);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Direction = {0, 0, 1};
  device_->SetLight(0, light);
  device_->LightEnable(0, true);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const float centres[4][2] = {{-0.5f, 0.5f}, {0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, -0.5f}};
  auto drawAll = [&](Texture* second) {
    device_->SetVertexDeclaration(noColor_);
    device_->SetStreamSource(0, quad, 0, sizeof(LitVertex));
    device_->SetIndices(list);
    for (int i = 0; i < 4; ++i) {
      device_->SetTexture(0, i == 1 ? second : redTex);
      const Matrix turn = i == 3 ? MatrixRotationY(kPi) : Matrix::Identity();
      device_->SetTransform(D3DTS_WORLD, turn * MatrixTranslation(centres[i][0], centres[i][1], 5));
      device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    }
  };
  auto pixel = [&](int x, int y) { return pixels_[y * kBackBufferWidth + x]; };

  Begin();
  drawAll(redTex);
  Finish();
  EXPECT_EQ(device_->LastFrameStats().drawCalls, 4);
  EXPECT_EQ(device_->LastFrameStats().backendDraws, 1);
  // Each quarter is red; the turned quad is lit from behind now (its normal
  // turned with it), so it shows black.
  ExpectColor(pixel(320, 180), 255, 0, 0);
  ExpectColor(pixel(960, 180), 255, 0, 0);
  ExpectColor(pixel(320, 540), 255, 0, 0);
  ExpectColor(pixel(960, 540), 0, 0, 0);

  // Another texture in the middle: opaque, depth-tested draws gather by
  // state, so the red ones around the blue one still make one draw, and
  // each keeps its own texture.
  device_->SetRenderState(D3DRS_ZENABLE, 1);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  Begin();
  drawAll(blueTex);
  Finish();
  EXPECT_EQ(device_->LastFrameStats().backendDraws, 2);
  ExpectColor(pixel(320, 180), 255, 0, 0);
  ExpectColor(pixel(960, 180), 0, 0, 255);
  ExpectColor(pixel(320, 540), 255, 0, 0);

  // Blended draws keep their order: the blue one splits the red run in two.
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
  Begin();
  drawAll(blueTex);
  Finish();
  EXPECT_EQ(device_->LastFrameStats().backendDraws, 3);
  ExpectColor(pixel(960, 180), 0, 0, 255);
  ExpectColor(pixel(320, 540), 255, 0, 0);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);

  // A texture changed after a draw that is still gathered: the draw shows the
  // texture as it was when it was made.
  Begin();
  device_->SetVertexDeclaration(noColor_);
  device_->SetStreamSource(0, quad, 0, sizeof(LitVertex));
  device_->SetIndices(list);
  device_->SetTexture(0, redTex);
  device_->SetTransform(D3DTS_WORLD, MatrixTranslation(-0.5f, 0.5f, 5));
  device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
  const uint32_t green[4] = {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00};
  device_->UpdateTexture(redTex, 0, 0, 2, 2, green);
  device_->SetTransform(D3DTS_WORLD, MatrixTranslation(0.5f, 0.5f, 5));
  device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
  Finish();
  ExpectColor(pixel(320, 180), 255, 0, 0);
  ExpectColor(pixel(960, 180), 0, 255, 0);

  redTex->Release();
  blueTex->Release();
  quad->Release();
  list->Release();
}

// Small squares drawn from one mesh with the world matrix, unlit, each
// showing its texture: enough to see which draws the device merges and
// whether the picture keeps the game's order.
class MergeTest : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    square_ = device_->CreateVertexBuffer(4 * sizeof(LitVertex));
    list_ = device_->CreateIndexBuffer(6 * sizeof(uint16_t));
    auto* v = static_cast<LitVertex*>(square_->Lock());
    const LitVertex corners[4] = {{-0.5f, -0.5f, 0, 0, 0, -1, 0, 0, 1},
                                  {-0.5f, 0.5f, 0, 0, 0, -1, 0, 0, 0},
                                  {0.5f, 0.5f, 0, 0, 0, -1, 0, 1, 0},
                                  {0.5f, -0.5f, 0, 0, 0, -1, 0, 1, 1}};
    std::memcpy(v, corners, sizeof corners);
    square_->Unlock();
    auto* idx = static_cast<uint16_t*>(list_->Lock());
    const uint16_t triangles[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(idx, triangles, sizeof triangles);
    list_->Unlock();
    const uint32_t red[4] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
    const uint32_t blue[4] = {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF};
    red_ = device_->CreateTexture(2, 2, red);
    blue_ = device_->CreateTexture(2, 2, blue);
    device_->SetRenderState(D3DRS_LIGHTING, 0);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  }
  void TearDown() override {
    for (DeviceResource* r : std::initializer_list<DeviceResource*>{square_, list_, red_, blue_})
      if (r) r->Release();
    GlDeviceTest::TearDown();
  }

  // A square of the given size centred at (x, y) (the screen spans -1..1) at
  // depth z.
  void Square(Texture* t, float x, float y, float size, float z) {
    device_->SetVertexDeclaration(noColor_);
    device_->SetStreamSource(0, square_, 0, sizeof(LitVertex));
    device_->SetIndices(list_);
    device_->SetTexture(0, t);
    device_->SetTransform(D3DTS_WORLD, MatrixScaling(size, size, 1) * MatrixTranslation(x, y, z));
    device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
  }
  // Blending that replaces (so the order of overlapping draws shows), with or
  // without depth writes.
  void Blend(bool on) {
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, on ? 1 : 0);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, on ? 0 : 1);
  }
  // The pixel at a point of the screen (-1..1, y up).
  uint32_t At(float x, float y) const {
    const int px = static_cast<int>((x + 1) / 2 * kBackBufferWidth);
    const int py = static_cast<int>((1 - y) / 2 * kBackBufferHeight);
    return pixels_[py * kBackBufferWidth + px];
  }
  int GlDraws() const { return device_->LastFrameStats().backendDraws; }

  VertexBuffer* square_ = nullptr;
  IndexBuffer* list_ = nullptr;
  Texture* red_ = nullptr;
  Texture* blue_ = nullptr;
};

TEST_F(MergeTest, BlendedDrawsMergePastOthersOnlyWhereTheyShareNoPixel) {
  device_->SetRenderState(D3DRS_ZENABLE, 0);
  Blend(true);
  // Four squares far apart: the reds gather into one draw around the blue.
  Begin();
  Square(red_, -0.5f, 0.5f, 0.5f, 5);
  Square(blue_, 0.5f, 0.5f, 0.5f, 5);
  Square(red_, -0.5f, -0.5f, 0.5f, 5);
  Square(red_, 0.5f, -0.5f, 0.5f, 5);
  Finish();
  EXPECT_EQ(GlDraws(), 2);
  ExpectColor(At(-0.5f, 0.5f), 255, 0, 0, 0);
  ExpectColor(At(0.5f, 0.5f), 0, 0, 255, 0);
  ExpectColor(At(0.5f, -0.5f), 255, 0, 0, 0);

  // Squares on top of one another keep their order: the last red one shows.
  Begin();
  Square(red_, 0, 0, 1, 5);
  Square(blue_, 0, 0, 1, 5);
  Square(red_, 0, 0, 1, 5);
  Finish();
  EXPECT_EQ(GlDraws(), 3);
  ExpectColor(At(0, 0), 255, 0, 0, 0);

  // A big red square under a small blue one: a later small red square
  // elsewhere still joins the big one's draw, as it shares no pixel with the
  // blue one it passes.
  Begin();
  Square(red_, 0, 0, 1.5f, 5);
  Square(blue_, 0.5f, 0.5f, 0.3f, 5);
  Square(red_, -0.5f, -0.85f, 0.2f, 5);
  Finish();
  EXPECT_EQ(GlDraws(), 2);
  ExpectColor(At(0.5f, 0.5f), 0, 0, 255, 0);
  ExpectColor(At(0, 0), 255, 0, 0, 0);
  ExpectColor(At(-0.5f, -0.85f), 255, 0, 0, 0);
}

TEST_F(MergeTest, DrawsPassADepthTestedOneOnlyWhereTheOpaqueOneIsWhollyInFront) {
  device_->SetRenderState(D3DRS_ZENABLE, 1);
  // An opaque red square, a blended blue one that is depth tested but not
  // written, then a red square over the blue one.
  auto frame = [&](float lastZ) {
    Begin();
    Blend(false);
    Square(red_, -0.6f, 0, 0.5f, 5);
    Blend(true);
    Square(blue_, 0.3f, 0, 1, 6);
    Blend(false);
    Square(red_, 0.3f, 0, 0.5f, lastZ);
    Finish();
  };
  // In front of the blue square: it shows whichever is drawn first, so it
  // joins the first red draw.
  frame(4);
  EXPECT_EQ(GlDraws(), 2);
  ExpectColor(At(0.3f, 0), 255, 0, 0, 0);
  ExpectColor(At(0.7f, 0), 0, 0, 255, 0);
  ExpectColor(At(-0.6f, 0), 255, 0, 0, 0);
  // Behind it: drawn after the blue square (which wrote no depth) it covers
  // it; drawn before, the blue one would cover it. It stays last.
  frame(7);
  EXPECT_EQ(GlDraws(), 3);
  ExpectColor(At(0.3f, 0), 255, 0, 0, 0);
  ExpectColor(At(0.7f, 0), 0, 0, 255, 0);

  // The other way round: a blended square passes an opaque one only when it
  // lies wholly behind it (hidden there whichever comes first).
  auto blendedLast = [&](float lastZ) {
    Begin();
    Blend(true);
    Square(blue_, -0.6f, 0, 0.5f, 6);
    Blend(false);
    Square(red_, 0.3f, 0, 0.5f, 5);
    Blend(true);
    Square(blue_, 0.3f, 0, 1, lastZ);
    Finish();
  };
  blendedLast(6);
  EXPECT_EQ(GlDraws(), 2);
  ExpectColor(At(0.3f, 0), 255, 0, 0, 0);
  ExpectColor(At(0.7f, 0), 0, 0, 255, 0);
  blendedLast(4);
  EXPECT_EQ(GlDraws(), 3);
  ExpectColor(At(0.3f, 0), 0, 0, 255, 0);
}

TEST_F(MergeTest, ADrawPassesARunBetweenItsDrawsButNotOverAny) {
  device_->SetRenderState(D3DRS_ZENABLE, 0);
  Blend(true);
  // Two blue squares gathered into one run, above and below the right-hand
  // spot; a red square there lies in the box around them but on neither, so
  // it joins the first red draw.
  auto frame = [&](float lastY) {
    Begin();
    Square(red_, -0.5f, 0, 0.3f, 5);
    Square(blue_, 0.5f, 0.5f, 0.3f, 5);
    Square(blue_, 0.5f, -0.5f, 0.3f, 5);
    Square(red_, 0.5f, lastY, 0.3f, 5);
    Finish();
  };
  frame(0);
  EXPECT_EQ(GlDraws(), 2);
  ExpectColor(At(0.5f, 0), 255, 0, 0, 0);
  ExpectColor(At(0.5f, 0.5f), 0, 0, 255, 0);
  ExpectColor(At(0.5f, -0.5f), 0, 0, 255, 0);
  // Over the upper blue square it stays after the run and covers it.
  frame(0.4f);
  EXPECT_EQ(GlDraws(), 3);
  ExpectColor(At(0.5f, 0.4f), 255, 0, 0, 0);
  ExpectColor(At(0.5f, 0.6f), 0, 0, 255, 0);

  // A run of more draws than it keeps rectangles for: the last rectangle
  // takes in the rest, so a draw over the last square still stays after it,
  // and one in the gap between the first two still passes.
  for (float lastX : {0.9f, -0.8f}) {
    Begin();
    Square(red_, 0, -0.7f, 0.2f, 5);
    for (int i = 0; i < 10; ++i) Square(blue_, -0.9f + 0.2f * static_cast<float>(i), 0, 0.08f, 5);
    Square(red_, lastX, 0, 0.06f, 5);
    Finish();
    EXPECT_EQ(GlDraws(), lastX > 0 ? 3 : 2) << lastX;
    ExpectColor(At(lastX, 0), 255, 0, 0, 0);
    ExpectColor(At(-0.7f, 0), 0, 0, 255, 0);
  }
}

TEST_F(MergeTest, TexturesOfTheSamePixelsDrawAsOneUntilOneIsChanged) {
  device_->SetRenderState(D3DRS_ZENABLE, 0);
  device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  const uint32_t red[4] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
  Texture* copy = device_->CreateTexture(2, 2, red);  // the same pixels as red_
  ASSERT_TRUE(copy);
  // Another made and given back again: the others keep their pixels.
  Texture* again = device_->CreateTexture(2, 2, red);
  ASSERT_TRUE(again);
  again->Release();
  auto frame = [&] {
    Begin();
    Square(red_, -0.5f, 0, 0.6f, 5);
    Square(copy, 0.5f, 0, 0.6f, 5);
    Finish();
  };
  frame();
  EXPECT_EQ(GlDraws(), 1);
  ExpectColor(At(-0.5f, 0), 255, 0, 0, 0);
  ExpectColor(At(0.5f, 0), 255, 0, 0, 0);

  // The copy's top left texel turns green: only the copy changes, and it
  // keeps its other texels.
  const uint32_t green = 0xFF00FF00;
  ASSERT_EQ(device_->UpdateTexture(copy, 0, 0, 1, 1, &green), D3D_OK);
  frame();
  EXPECT_EQ(GlDraws(), 2);
  ExpectColor(At(0.35f, 0.15f), 0, 255, 0, 0);
  ExpectColor(At(0.65f, -0.15f), 255, 0, 0, 0);
  ExpectColor(At(-0.65f, 0.15f), 255, 0, 0, 0);
  ExpectColor(At(-0.35f, -0.15f), 255, 0, 0, 0);
  copy->Release();
}

TEST_F(MergeTest, ATextureGivenBackWhileItsDrawWaitsInARunStillShowsInIt) {
  device_->SetRenderState(D3DRS_ZENABLE, 0);
  const uint32_t green[4] = {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00};
  const uint32_t yellow[4] = {0xFFFFFF00, 0xFFFFFF00, 0xFFFFFF00, 0xFFFFFF00};
  Begin();
  Texture* lent = device_->CreateTexture(2, 2, green);
  ASSERT_TRUE(lent);
  Square(lent, -0.5f, 0, 0.6f, 5);
  // Given back mid-frame, with its draw still gathered and the texture still
  // set: a texture made next may take its OpenGL name.
  lent->Release();
  EXPECT_EQ(device_->GetTexture(0), nullptr);
  Texture* next = device_->CreateTexture(2, 2, yellow);
  ASSERT_TRUE(next);
  Square(next, 0.5f, 0, 0.6f, 5);
  Finish();
  ExpectColor(At(-0.5f, 0), 0, 255, 0, 0);
  ExpectColor(At(0.5f, 0), 255, 255, 0, 0);
  next->Release();
}

TEST_F(MergeTest, StripsAndFansMergeAsTheSameTrianglesWoundTheSameWay) {
  // Culling stays on: a strip's every other triangle is wound the other way
  // round in its indices, and must still face the viewer once it is a list.
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  device_->SetRenderState(D3DRS_ZENABLE, 0);
  auto* idx = static_cast<uint16_t*>(list_->Lock());
  const uint16_t strip[4] = {0, 1, 3, 2};  // bottom left, top left, bottom right, top right
  std::memcpy(idx, strip, sizeof strip);
  list_->Unlock();
  Begin();
  for (float x : {-0.5f, 0.5f}) {
    device_->SetVertexDeclaration(noColor_);
    device_->SetStreamSource(0, square_, 0, sizeof(LitVertex));
    device_->SetIndices(list_);
    device_->SetTexture(0, x < 0 ? red_ : blue_);
    device_->SetTransform(D3DTS_WORLD, MatrixTranslation(x, 0, 5));
    device_->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 4, 0, 2);
  }
  // The fan of the fixture, with vertex colours, twice.
  device_->SetTexture(0, nullptr);
  device_->SetTransform(D3DTS_WORLD, MatrixScaling(0.2f, 0.2f, 1));
  Quad(5, 0xFF00FF00);
  Draw();
  device_->SetTransform(D3DTS_WORLD, MatrixScaling(0.2f, 0.2f, 1) * MatrixTranslation(0, 0.6f, 0));
  Draw();
  Finish();
  EXPECT_EQ(GlDraws(), 3);
  // Both triangles of each strip square are there (lower left and upper
  // right of each).
  ExpectColor(At(-0.9f, -0.4f), 255, 0, 0, 0);
  ExpectColor(At(-0.6f, 0.4f), 255, 0, 0, 0);
  ExpectColor(At(0.6f, -0.4f), 0, 0, 255, 0);
  ExpectColor(At(0.9f, 0.4f), 0, 0, 255, 0);
  ExpectColor(At(0, 0), 0, 255, 0, 0);
  ExpectColor(At(0, 0.6f), 0, 255, 0, 0);
}

TEST_F(GlDeviceTest, PointFilteringShowsTheNearestTexel) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  const uint32_t texels[2] = {0xFFFF0000, 0xFF0000FF};  // red | blue
  Texture* tex = device_->CreateTexture(2, 1, texels);
  ASSERT_TRUE(tex);
  device_->SetTexture(0, tex);
  Quad(5, 0xFFFFFFFF);
  // Linear (the device's start): the texels blend towards the middle.
  EXPECT_EQ(device_->GetSamplerState(0, D3DSAMP_MAGFILTER), D3DTEXF_LINEAR);
  Begin();
  Draw();
  const uint32_t linear = Finish(600, 360);
  EXPECT_GT((linear >> 16) & 0xFF, 100u);
  EXPECT_GT(linear & 0xFF, 100u);
  // Point: each half of the screen is one texel.
  EXPECT_EQ(device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT), D3D_OK);
  EXPECT_EQ(device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT), D3D_OK);
  Begin();
  Draw();
  ExpectColor(Finish(600, 360), 255, 0, 0, 0);
  ExpectColor(pixels_[360 * kBackBufferWidth + 680], 0, 0, 255, 0);
  // Anything else is refused and changes nothing.
  EXPECT_NE(device_->SetSamplerState(0, D3DSAMP_MAGFILTER, 3), D3D_OK);
  EXPECT_NE(device_->SetSamplerState(kTextureStageCount, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR),
            D3D_OK);
  EXPECT_EQ(device_->GetSamplerState(0, D3DSAMP_MAGFILTER), D3DTEXF_POINT);
  device_->SetTexture(0, nullptr);
  tex->Release();
}

TEST_F(GlDeviceTest, SpritesDrawnTexelForPixelSampleTheNearestTexelOthersBlend) {
  Sprite* sprite = Sprite::Create(device_.get());
  ASSERT_TRUE(sprite);
  // A 2x2 checker of red and blue.
  const uint32_t texels[4] = {0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFFFF0000};
  Texture* tex = device_->CreateTexture(2, 2, texels);
  ASSERT_TRUE(tex);
  Begin();
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  // At a whole pixel, unscaled: the four texels are the four pixels.
  const Vec3 at{100, 100, 0};
  sprite->Draw(tex, nullptr, nullptr, &at, 0xFFFFFFFF);
  // Scaled 100 times: blended between the texels' centres.
  sprite->SetTransform(MatrixScaling(100, 100, 1) * MatrixTranslation(400, 200, 0));
  sprite->Draw(tex, nullptr, nullptr, nullptr, 0xFFFFFFFF);
  sprite->End();
  Finish();
  auto pixel = [&](int x, int y) { return pixels_[y * kBackBufferWidth + x]; };
  ExpectColor(pixel(100, 100), 255, 0, 0, 0);
  ExpectColor(pixel(101, 100), 0, 0, 255, 0);
  ExpectColor(pixel(100, 101), 0, 0, 255, 0);
  ExpectColor(pixel(101, 101), 255, 0, 0, 0);
  const uint32_t middle = pixel(500, 300);  // where the four texels meet
  EXPECT_NEAR(static_cast<int>((middle >> 16) & 0xFF), 128, 8) << std::hex << middle;
  EXPECT_NEAR(static_cast<int>(middle & 0xFF), 128, 8) << std::hex << middle;
  // The sprite puts the device's filtering back as it found it.
  EXPECT_EQ(device_->GetSamplerState(0, D3DSAMP_MAGFILTER), D3DTEXF_LINEAR);
  EXPECT_EQ(device_->GetSamplerState(0, D3DSAMP_MINFILTER), D3DTEXF_LINEAR);
  tex->Release();
  sprite->Release();
}
