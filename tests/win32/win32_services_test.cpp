// The Windows versions of the system services and the Direct3D 9 device,
// run under Wine by tests/windows_smoke.sh: each must behave as its Linux
// counterpart does for the game.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "app/settings.h"
#include "base/atomic_file.h"
#include "base/single_instance.h"
#include "base/text_encoding.h"
#include "base/user_dirs.h"
#include "platform/glyph_source.h"
#include "platform/graphics_device.h"
#include "platform/input_types.h"
#include "platform/png_image.h"
#include "platform/win32/win32_backend.h"
#include "tests/win32/send_keys.h"

namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() / ("orvelune-test-" + std::to_string(stamp));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace

TEST(Win32Png, EncodedPicturesDecodeToTheSamePixels) {
  Image picture;
  picture.width = 3;
  picture.height = 2;
  picture.argb = {0xFF102030, 0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x40FFFFFF, 0xFF000000};
  std::vector<uint8_t> bytes;
  std::string why;
  ASSERT_TRUE(EncodePng(picture, &bytes, &why)) << why;
  Image back;
  ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), &back, &why)) << why;
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.argb, picture.argb);  // straight alpha, not premultiplied

  // Through a file, written whole.
  TempFolder dir;
  ASSERT_TRUE(SavePng(dir.File("p.png"), picture, &why)) << why;
  Image loaded;
  ASSERT_TRUE(LoadPng(dir.File("p.png"), &loaded, &why)) << why;
  EXPECT_EQ(loaded.argb, picture.argb);
}

TEST(Win32Png, AnythingButAWholePngIsRefusedWithAReason) {
  Image picture;
  picture.width = picture.height = 16;
  picture.argb.assign(256, 0xFF336699);
  std::vector<uint8_t> bytes;
  std::string why;
  ASSERT_TRUE(EncodePng(picture, &bytes, &why));
  Image out;
  why.clear();
  EXPECT_FALSE(DecodePng(bytes.data(), bytes.size() / 2, &out, &why));
  EXPECT_FALSE(why.empty());
  const uint8_t bmp[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  why.clear();
  EXPECT_FALSE(DecodePng(bmp, sizeof bmp, &out, &why));
  EXPECT_EQ(why, "not a PNG file");
  EXPECT_FALSE(LoadPng("no/such/file.png", &out, &why));
  EXPECT_NE(why.find("no/such/file.png"), std::string::npos) << why;
}

TEST(Win32ShiftJis, TheGamesCharactersRoundTripThroughCodePage932) {
  // あ 漢 ～ (the wave dash of code page 932) and a half-width katakana.
  EXPECT_EQ(SjisToUtf8("\x82\xA0\x8A\xBF\x81\x60\xB1"), "あ漢～ｱ");
  EXPECT_EQ(Utf8ToSjis("いのち 5"), "\x82\xA2\x82\xCC\x82\xBF 5");
  // Every double-byte character decodes to one code point that encodes back.
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const char bytes[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
      const std::u32string cps = SjisToCodepoints(bytes, 2);
      ASSERT_EQ(cps.size(), 1u);
      if (cps[0] == U'\uFFFD') continue;  // a hole in the table
      const std::string again = Utf8ToSjis(CodepointsToUtf8(cps));
      if (again != std::string(bytes, 2)) continue;  // NEC/IBM duplicates map to one form
      ++checked;
    }
  }
  EXPECT_GT(checked, 7000);
  EXPECT_EQ(Utf8ToSjis("€"), "?");  // no Shift-JIS form
}

TEST(Win32Glyphs, TheSerifFaceRendersJapaneseAndLatin) {
  GlyphRequest request;
  request.height = 52;
  request.emWidth = 44;
  request.weight = 900;
  std::string error;
  std::unique_ptr<GlyphSource> source = OpenGlyphSource(request, &error);
  ASSERT_TRUE(source) << error;
  EXPECT_FALSE(source->Name().empty());
  GlyphImage a, latin, space;
  source->Render(U'あ', &a);
  source->Render(U'A', &latin);
  source->Render(U' ', &space);
  EXPECT_GT(a.advance, 30);
  EXPECT_GT(a.width, 20);
  EXPECT_GT(a.height, 20);
  ASSERT_EQ(a.coverage.size(), static_cast<size_t>(a.width) * a.height);
  int solid = 0;
  for (uint8_t c : a.coverage) solid += c == 255;
  EXPECT_GT(solid, 50);                 // a heavy face has solid strokes
  EXPECT_LT(latin.advance, a.advance);  // Latin letters are narrower
  EXPECT_GT(space.advance, 0);
  EXPECT_TRUE(space.coverage.empty());
}

TEST(Win32Files, AWriteReplacesTheWholeFileOrLeavesItAsItWas) {
  TempFolder dir;
  const std::string path = dir.File("settings.txt");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "first\n", &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(path, "second, longer\n", &error)) << error;
  EXPECT_EQ(Read(path), "second, longer\n");

  // A temporary left by a process that has ended goes; nothing else does.
  std::ofstream(path + ".tmp999999") << "stale";
  std::ofstream(dir.File("other.txt")) << "keep";
  ASSERT_TRUE(WriteFileAtomically(path, "third\n", &error)) << error;
  EXPECT_FALSE(fs::exists(path + ".tmp999999"));
  EXPECT_TRUE(fs::exists(dir.File("other.txt")));

  // A read-only file stays as it is and the error names it.
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_FALSE(WriteFileAtomically(path, "fourth\n", &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(Read(path), "third\n");
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);

  // A folder in the way, or a missing folder, fails without leftovers.
  EXPECT_FALSE(WriteFileAtomically(dir.File(""), "x", &error));
  EXPECT_FALSE(WriteFileAtomically(dir.File("missing/file.txt"), "x", &error));
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.File(""))) files += e.is_regular_file();
  EXPECT_EQ(files, 2);  // settings.txt and other.txt
}

// The options screen saves over the file it read: Windows will not replace
// a file that is still open, so the reader must have closed it.
TEST(Win32Files, SettingsAreSavedOverTheFileTheyWereReadFrom) {
  TempFolder dir;
  const std::string path = dir.File("settings.txt");
  std::ofstream(path, std::ios::binary) << "# mine\nmusic_volume = 100\n";
  Settings s;
  s.musicVolume = 40;
  std::string error;
  ASSERT_TRUE(SaveSettings(path, s, &error)) << error;
  const std::string saved = Read(path);
  EXPECT_EQ(saved.rfind("# mine\nmusic_volume = 40\n", 0), 0u) << saved;
}

TEST(Win32Files, FoldersOfTheUserAndTheProgram) {
  const std::string config = UserConfigDirectory();
  ASSERT_FALSE(config.empty());
  EXPECT_EQ(config.substr(config.size() - 9), "\\Orvelune");
  EXPECT_EQ(UserDataDirectory(), config);

  TempFolder dir;
  const std::string nested = dir.File("a/b\\c");
  EXPECT_TRUE(MakeDirectories(nested));
  EXPECT_TRUE(fs::is_directory(nested));
  EXPECT_TRUE(MakeDirectories(nested));  // already there
  std::ofstream(dir.File("plain")) << "x";
  EXPECT_FALSE(MakeDirectories(dir.File("plain")));

  const std::string tag = SystemLanguageTag();
  EXPECT_TRUE(tag == "ja-JP" || tag == "en") << tag;

  const std::string program = ProgramDirectory();
  EXPECT_TRUE(fs::exists(fs::path(program) / "orvelune_win32_tests.exe")) << program;
}

TEST(Win32Files, ASecondCopyIsRefusedUntilTheFirstEnds) {
  TempFolder dir;
  const std::string lock = dir.File("orvelune.lock");
  {
    SingleInstanceGuard first(lock);
    ASSERT_EQ(first.TryAcquire(), SingleInstanceGuard::Result::kAcquired);
    SingleInstanceGuard second(lock);
    std::string why;
    EXPECT_EQ(second.TryAcquire(&why), SingleInstanceGuard::Result::kHeldByAnother);
    EXPECT_EQ(why, "another copy is running");
  }
  SingleInstanceGuard third(lock);
  EXPECT_EQ(third.TryAcquire(), SingleInstanceGuard::Result::kAcquired);
  SingleInstanceGuard unusable(dir.File("missing/orvelune.lock"));
  EXPECT_EQ(unusable.TryAcquire(), SingleInstanceGuard::Result::kUnusable);
}

namespace {

struct Vertex {
  float x, y, z;
  D3DCOLOR color;
  float u, v;
};
const D3DVERTEXELEMENT9 kElements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                       {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                       {0, 16, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                       D3DDECL_END()};

class D3d9DeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    device_.reset(CreateHiddenD3d9Device(&error));
    ASSERT_TRUE(device_) << error;
    vb_ = device_->CreateVertexBuffer(4 * sizeof(Vertex));
    ib_ = device_->CreateIndexBuffer(4 * sizeof(uint16_t));
    declaration_ = device_->CreateVertexDeclaration(kElements);
    ASSERT_TRUE(vb_ && ib_ && declaration_);
    auto* idx = static_cast<uint16_t*>(ib_->Lock());
    const uint16_t fan[4] = {0, 1, 2, 3};
    std::memcpy(idx, fan, sizeof fan);
    ib_->Unlock();
    device_->SetRenderState(D3DRS_LIGHTING, 0);
    // Pixels as units, y down, as the game's 2D drawing sets it.
    device_->SetTransform(D3DTS_PROJECTION, MatrixOrthoOffCenterLH(0, 1280, 720, 0, 0, 1));
  }
  void TearDown() override {
    if (vb_) vb_->Release();
    if (ib_) ib_->Release();
    if (declaration_) declaration_->Release();
    device_.reset();
  }

  // A rectangle of the screen in pixels, clockwise.
  void Rect(float left, float top, float right, float bottom, D3DCOLOR color) {
    auto* v = static_cast<Vertex*>(vb_->Lock());
    v[0] = {left, bottom, 0.5f, color, 0, 1};
    v[1] = {left, top, 0.5f, color, 0, 0};
    v[2] = {right, top, 0.5f, color, 1, 0};
    v[3] = {right, bottom, 0.5f, color, 1, 1};
    vb_->Unlock();
    device_->SetVertexDeclaration(declaration_);
    device_->SetStreamSource(0, vb_, 0, sizeof(Vertex));
    device_->SetIndices(ib_);
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLEFAN, 0, 0, 4, 0, 2), D3D_OK);
  }

  const std::vector<uint32_t>& Frame() {
    device_->EndScene();
    EXPECT_EQ(device_->Present(), D3D_OK);
    int w = 0, h = 0;
    EXPECT_TRUE(device_->ReadLastFrame(&w, &h, &pixels_));
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    return pixels_;
  }

  std::unique_ptr<GraphicsDevice> device_;
  VertexBuffer* vb_ = nullptr;
  IndexBuffer* ib_ = nullptr;
  VertexDeclaration* declaration_ = nullptr;
  std::vector<uint32_t> pixels_;
};

}  // namespace

TEST_F(D3d9DeviceTest, RectanglesCoverExactlyTheirPixels) {
  device_->BeginScene();
  device_->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  Rect(10, 20, 30, 25, 0xFFFF0000);
  const auto& f = Frame();
  // Pixel edges fall on whole coordinates, as with the OpenGL device.
  EXPECT_EQ(f[20 * 1280 + 10] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(f[24 * 1280 + 29] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(f[19 * 1280 + 10] & 0xFFFFFF, 0u);
  EXPECT_EQ(f[20 * 1280 + 9] & 0xFFFFFF, 0u);
  EXPECT_EQ(f[25 * 1280 + 10] & 0xFFFFFF, 0u);
  EXPECT_EQ(f[20 * 1280 + 30] & 0xFFFFFF, 0u);
  EXPECT_EQ(device_->LastFrameStats().drawCalls, 1);
}

TEST_F(D3d9DeviceTest, TexelsLandOnPixelsAndTexturesUpdate) {
  // Two texels on a two-pixel rectangle: each pixel shows one texel exactly
  // (half a pixel off, linear filtering would mix them).
  const uint32_t texels[2] = {0xFFFF0000, 0xFF0000FF};
  Texture* tex = device_->CreateTexture(2, 1, texels);
  ASSERT_TRUE(tex);
  device_->SetTexture(0, tex);
  device_->BeginScene();
  device_->Clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  Rect(100, 100, 102, 101, 0xFFFFFFFF);
  auto f = Frame();
  EXPECT_EQ(f[100 * 1280 + 100] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(f[100 * 1280 + 101] & 0xFFFFFF, 0x0000FFu);

  const uint32_t green = 0xFF00FF00;
  EXPECT_EQ(device_->UpdateTexture(tex, 1, 0, 1, 1, &green), D3D_OK);
  EXPECT_NE(device_->UpdateTexture(tex, 2, 0, 1, 1, &green), D3D_OK);  // outside: refused
  device_->BeginScene();
  device_->Clear(D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  Rect(100, 100, 102, 101, 0xFF808080);  // vertex colour modulates
  f = Frame();
  EXPECT_NEAR(static_cast<int>((f[100 * 1280 + 100] >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(static_cast<int>((f[100 * 1280 + 101] >> 8) & 0xFF), 128, 1);
  device_->SetTexture(0, nullptr);
  tex->Release();
}

TEST_F(D3d9DeviceTest, BlendingAndBadCallsBehaveAsOnTheOtherDevices) {
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
  device_->BeginScene();
  device_->Clear(D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
  Rect(0, 0, 1280, 720, 0x80000000);  // half black over white
  const auto& f = Frame();
  EXPECT_NEAR(static_cast<int>(f[360 * 1280 + 640] & 0xFF), 127, 1);

  // Calls the common checks refuse never reach Direct3D.
  EXPECT_EQ(device_->SetRenderState(D3DRS_CULLMODE, 99), D3DERR_INVALIDCALL);
  device_->SetIndices(nullptr);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3DERR_INVALIDCALL);
}

TEST(Win32Window, KeysArriveAsDirectInputCodesHeldAndPressed) {
  std::unique_ptr<Backend> backend = CreateWin32Backend(Win32BackendOptions{});
  std::unique_ptr<GameWindow> window(backend->CreateGameWindow("Orvelune keys", 640, 360, false));
  ASSERT_TRUE(window);
  window->Show();
  std::unique_ptr<InputSource> input(backend->CreateInputSource());
  PumpMessages();
  WindowMessage m;
  while (window->PeekMessage(&m)) {
  }

  // The right arrow is an extended key: 0x4D with E0, DirectInput's 0xCD.
  SendKey(0x4D, true, true);
  uint8_t keys[256] = {};
  bool pressed = false;
  for (int i = 0; i < 100 && !pressed; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    while (window->PeekMessage(&m))
      pressed |= m.type == WindowMessageType::KeyDown && m.key == DIK_RIGHT;
  }
  if (!pressed) GTEST_SKIP() << "the window did not get the keyboard's focus here";
  ASSERT_TRUE(input->ReadKeyboard(keys));
  EXPECT_EQ(keys[DIK_RIGHT], 0x80);
  EXPECT_EQ(keys[0x4D], 0);  // not the keypad's 6

  SendKey(0x4D, true, false);
  SendKey(0x01, false, true);  // Escape
  bool escape = false;
  for (int i = 0; i < 100 && !escape; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    while (window->PeekMessage(&m))
      escape |= m.type == WindowMessageType::KeyDown && m.key == DIK_ESCAPE;
  }
  EXPECT_TRUE(escape);
  ASSERT_TRUE(input->ReadKeyboard(keys));
  EXPECT_EQ(keys[DIK_RIGHT], 0);
  EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
  SendKey(0x01, false, false);
}

TEST(Win32Window, AltEnterSwitchesBetweenTheWindowAndFullScreen) {
  std::unique_ptr<Backend> backend = CreateWin32Backend(Win32BackendOptions{});
  std::unique_ptr<GameWindow> window(backend->CreateGameWindow("Orvelune screen", 640, 360, false));
  ASSERT_TRUE(window);
  window->Show();
  auto settle = [&] {
    WindowMessage m;
    for (int i = 0; i < 30; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      while (window->PeekMessage(&m)) {
      }
    }
  };
  auto altEnter = [&] {
    SendKey(0x38, false, true);  // Alt
    SendKey(0x1C, false, true);  // Enter
    SendKey(0x1C, false, false);
    SendKey(0x38, false, false);
    settle();
  };
  settle();
  EXPECT_FALSE(WindowFillsItsMonitor("Orvelune screen"));
  altEnter();
  if (!WindowFillsItsMonitor("Orvelune screen"))
    GTEST_SKIP() << "the window did not get the keyboard's focus here";
  altEnter();
  EXPECT_FALSE(WindowFillsItsMonitor("Orvelune screen"));

  // Starting in full screen.
  std::unique_ptr<GameWindow> full(backend->CreateGameWindow("Orvelune full", 640, 360, true));
  ASSERT_TRUE(full);
  full->Show();
  EXPECT_TRUE(WindowFillsItsMonitor("Orvelune full"));
}

// The options screen's display change: a window of another inside size, full
// screen, and back to a window of a third size.
TEST(Win32Window, SetDisplayResizesTheInsideAndSwitchesFullScreen) {
  std::unique_ptr<Backend> backend = CreateWin32Backend(Win32BackendOptions{});
  std::unique_ptr<GameWindow> window(backend->CreateGameWindow("Orvelune sizes", 640, 360, false));
  ASSERT_TRUE(window);
  window->Show();
  int width = 0, height = 0;
  window->SetDisplay({false, 800, 450});
  ASSERT_TRUE(ClientSizeOf("Orvelune sizes", &width, &height));
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 450);
  EXPECT_FALSE(WindowFillsItsMonitor("Orvelune sizes"));
  window->SetDisplay({true, 800, 450});
  EXPECT_TRUE(WindowFillsItsMonitor("Orvelune sizes"));
  window->SetDisplay({false, 960, 540});
  EXPECT_FALSE(WindowFillsItsMonitor("Orvelune sizes"));
  ASSERT_TRUE(ClientSizeOf("Orvelune sizes", &width, &height));
  EXPECT_EQ(width, 960);
  EXPECT_EQ(height, 540);
}

TEST(Win32Sound, VoicesPlayStopAndLoopAsDirectSoundBuffersDo) {
  std::unique_ptr<Backend> backend = CreateWin32Backend(Win32BackendOptions{});
  testing::internal::CaptureStderr();
  std::unique_ptr<SoundDevice> sound(backend->CreateSoundDevice());
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(sound);
  // Without a sound output the backend falls back to silence, which other
  // tests cover; here only DirectSound counts.
  if (said.find("without sound") != std::string::npos) GTEST_SKIP() << said;
  WaveFormat format;
  format.formatTag = 1;  // PCM
  format.channels = 1;
  format.samplesPerSec = 22050;
  format.bitsPerSample = 16;
  format.blockAlign = 2;
  format.avgBytesPerSec = 44100;
  std::vector<uint8_t> tenth(4410, 0);  // a tenth of a second of silence
  std::unique_ptr<SoundVoice> voice(sound->CreateVoice(format, tenth.data(), tenth.size()));
  ASSERT_TRUE(voice);
  voice->SetVolume(0.5f);
  voice->Play(false);
  EXPECT_EQ(voice->GetStatus(), DSBSTATUS_PLAYING);
  voice->Play(true);  // already playing: goes on, now looping
  EXPECT_EQ(voice->GetStatus(), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(voice->GetStatus(), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);  // past its end
  voice->Stop();
  EXPECT_EQ(voice->GetStatus(), 0u);
  voice->SetCurrentPosition(0);
  voice->Play(false);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(voice->GetStatus(), 0u);  // played to its end and stopped

  // Samples that are no sound are refused, not played as noise.
  format.formatTag = 0x55;  // MP3
  EXPECT_EQ(sound->CreateVoice(format, tenth.data(), tenth.size()), nullptr);
}
