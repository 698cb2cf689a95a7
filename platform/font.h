// Text fonts (shaped like ID3DXFont): Shift-JIS strings drawn into a rectangle
// through the sprite batch, wrapped at words (Japanese between characters) and
// clipped at the rectangle. The Windows faces the game names map to Japanese
// faces (platform/glyph_source.h: fontconfig on Linux, GDI on Windows):
// Mincho to a heavy serif, Gothic to a sans.
#pragma once

#include <memory>
#include <string>

#include "platform/common/text_layout.h"
#include "platform/graphics_device.h"
#include "platform/sprite.h"

// Finds the font file of a Japanese face: a sans (Gothic) or serif (Mincho)
// face, heavy or regular, through fontconfig (platform/font_fontconfig.cpp,
// for the font and the content generator), or the serif shipped with the
// data in the browser (platform/font_shipped.cpp). Not on Windows.
bool FindJapaneseFont(bool gothic, bool heavy, std::string* path, int* index);

struct FontDesc {
  int height = 0;  // cell height in pixels; 0 picks 16
  int width = 0;   // average character width; 0 keeps the face's proportions
  int weight = 400;
  const char* face = "";  // the Windows face name, UTF-8 ("ＭＳ 明朝", "ＭＳ ゴシック")
};

class Font {
 public:
  // Null with a reason when no face can be found or loaded.
  static Font* Create(GraphicsDevice* device, const FontDesc& desc, std::string* error);
  void Release();

  // Draws count bytes of text (all up to the NUL when count is -1); returns
  // the height of the text drawn. Needs a begun sprite batch.
  int DrawText(Sprite* sprite, const char* sjis, int count, const RECT* rect, uint32_t format,
               D3DCOLOR color);

  // The lines the text would take in a rectangle of the given width.
  TextLayout Layout(const char* sjis, int count, int width, uint32_t format);
  int LineHeight() const;
  // The width in pixels of the widest line of the text, unwrapped.
  int TextWidth(const char* sjis, int count = -1);
  // The file of the face in use, for diagnostics.
  const std::string& FacePath() const;

  struct Impl;

 private:
  explicit Font(std::unique_ptr<Impl> impl);
  ~Font();
  std::unique_ptr<Impl> impl_;
};
