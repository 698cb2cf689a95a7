#include "platform/graphics.h"

#include <string>

#include "base/report_error.h"

namespace {

GraphicsDevice* g_device = nullptr;
Sprite* g_sprite = nullptr;
Font* g_debugFont = nullptr;
Font* g_scriptFont = nullptr;
Font* g_boardFont = nullptr;

Font* CreateGameFont(int height, int width, const char* face) {
  std::string why;
  Font* font = Font::Create(g_device, FontDesc{height, width, 900, face}, &why);
  if (!font) ReportErrorDetail(why.c_str());
  return font;
}

}  // namespace

int InitDirect3D(GameWindow* window, DisplayMode mode) {
  Backend* backend = GetBackend();
  if (!backend) {
    ReportError("Direct3DDevice9の作成に失敗");
    return 0;
  }
  g_device = backend->CreateDevice(window, mode == DisplayMode::FullScreen);
  if (!g_device) {
    ReportError("g_pD3DDeviceの作成に失敗");
    return 0;
  }
  return 1;
}

void ReleaseDirect3D() {
  if (g_device) {
    delete g_device;
    g_device = nullptr;
  }
}

int InitSprite() {
  g_sprite = g_device ? Sprite::Create(g_device) : nullptr;
  if (!g_sprite) {
    ReportError("スプライトインターフェイスの作成に失敗");
    return 0;
  }
  return 1;
}

void ReleaseSprite() {
  if (g_sprite) {
    g_sprite->Release();
    g_sprite = nullptr;
  }
}

int InitTextFonts() {
  g_scriptFont = CreateGameFont(52, 22, "ＭＳ 明朝");
  if (!g_scriptFont) return 0;
  g_boardFont = CreateGameFont(33, 14, "ＭＳ 明朝");
  if (!g_boardFont) return 0;
  return 1;
}

void ReleaseTextFonts() {
  if (g_boardFont) {
    g_boardFont->Release();
    g_boardFont = nullptr;
  }
  if (g_scriptFont) {
    g_scriptFont->Release();
    g_scriptFont = nullptr;
  }
}

int InitDebugFont() {
  g_debugFont = CreateGameFont(0, 0, "ＭＳ ゴシック");
  if (!g_debugFont) {
    ReportError("デバッグフォントの作成に失敗 -DebugFont- ");
    return 0;
  }
  return 1;
}

void ReleaseDebugFont() {
  if (g_debugFont) {
    g_debugFont->Release();
    g_debugFont = nullptr;
  }
}

GraphicsDevice* GetDevice() {
  return g_device;
}
Sprite* GetSprite() {
  return g_sprite;
}
Font* GetScriptFont() {
  return g_scriptFont;
}
Font* GetBoardFont() {
  return g_boardFont;
}
