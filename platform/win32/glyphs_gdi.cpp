// Glyphs from GDI. The serif is the same Noto CJK face the Linux build uses,
// from the program's "fonts" folder (loaded for this process only), else the
// Japanese faces Windows has: Yu Mincho or MS Mincho for the serif, Yu
// Gothic or MS Gothic for the sans.
#include <windows.h>

#include <cmath>
#include <mutex>
#include <vector>

#include "base/user_dirs.h"
#include "platform/glyph_source.h"

// Beside this file: it is built into the platform layer, whose include
// folders leave out the backends' folders.
#include "wide_text.h"

namespace {

// Makes the font files in the program's "fonts" folder usable by this
// process, once.
void LoadShippedFonts() {
  static std::once_flag once;
  std::call_once(once, [] {
    const std::string folder = ProgramDirectory() + "\\fonts\\";
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(WideFromUtf8(folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      const std::wstring name = found.cFileName;
      const size_t dot = name.rfind(L'.');
      if (dot == std::wstring::npos) continue;
      const std::wstring ext = name.substr(dot);
      if (ext != L".ttc" && ext != L".otf" && ext != L".ttf") continue;
      AddFontResourceExW((WideFromUtf8(folder) + name).c_str(), FR_PRIVATE, nullptr);
    } while (FindNextFileW(find, &found));
    FindClose(find);
  });
}

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FamilyExists(HDC dc, const wchar_t* family) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, family, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

class GdiGlyphs : public GlyphSource {
 public:
  ~GdiGlyphs() override {
    if (dc_) DeleteDC(dc_);
    if (font_) DeleteObject(font_);
    if (designFont_) DeleteObject(designFont_);
  }

  bool Open(const GlyphRequest& request, std::string* error) {
    LoadShippedFonts();
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) {
      *error = "cannot create a GDI device context for text";
      return false;
    }
    static const std::vector<const wchar_t*> kSerif = {L"Noto Serif CJK JP", L"Yu Mincho",
                                                       L"MS Mincho", L"IPAMincho"};
    // Only the debugging overlay asks for a sans face; without one it takes
    // the serif the game ships.
    static const std::vector<const wchar_t*> kSans = {L"Noto Sans CJK JP",  L"Yu Gothic",
                                                      L"MS Gothic",         L"IPAGothic",
                                                      L"Noto Serif CJK JP", L"MS Mincho"};
    const wchar_t* family = nullptr;
    for (const wchar_t* candidate : request.gothic ? kSans : kSerif)
      if (FamilyExists(dc_, candidate)) {
        family = candidate;
        break;
      }
    if (!family) {
      *error = std::string("no Japanese ") + (request.gothic ? "sans" : "serif") +
               " font found (put NotoSerifCJK or NotoSansCJK in the game's fonts folder)";
      return false;
    }
    LOGFONTW desc{};
    desc.lfHeight = -request.height;  // negative: the em height, as the cell height
    // Heavy asks for the face's bold, which GDI thickens itself only when
    // the face has none (as the FreeType source does); asking for more than
    // bold would thicken a bold face too.
    desc.lfWeight = request.weight >= 600 ? FW_BOLD : FW_NORMAL;
    desc.lfCharSet = DEFAULT_CHARSET;
    desc.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    desc.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(desc.lfFaceName, family, LF_FACESIZE);
    font_ = CreateFontIndirectW(&desc);
    // A narrower em is a transform of each glyph (16.16 fixed point), as
    // fine as FreeType's scale; GDI's own width setting goes through the
    // face's average character width in whole pixels.
    const double xScale = static_cast<double>(request.emWidth) / request.height;
    const long fixed = std::lround(xScale * 65536.0);
    matrix_ = {{static_cast<WORD>(fixed & 0xFFFF), static_cast<short>(fixed >> 16)},
               {0, 0},
               {0, 0},
               {0, 1}};
    if (!font_) {
      *error = "cannot create the font " + Utf8FromWide(family);
      return false;
    }
    // The same face at one pixel a design unit gives the advances exactly,
    // which then scale and round as FreeType's do: text lays out to the
    // same pixel on both systems (GDI's own advances are hinted its way).
    SelectObject(dc_, font_);
    OUTLINETEXTMETRICW outline{};
    outline.otmSize = sizeof outline;
    if (GetOutlineTextMetricsW(dc_, sizeof outline, &outline) && outline.otmEMSquare > 0) {
      unitsPerEm_ = static_cast<int>(outline.otmEMSquare);
      LOGFONTW design = desc;
      design.lfHeight = -unitsPerEm_;
      designFont_ = CreateFontIndirectW(&design);
    }
    emWidth_ = request.emWidth;
    name_ = Utf8FromWide(family);
    return true;
  }

  // The advance of a character in whole pixels, from its design width.
  int Advance(UINT ch, int fallback) {
    if (!designFont_) return fallback;
    SelectObject(dc_, designFont_);
    ABC abc{};
    const bool known = GetCharABCWidthsW(dc_, ch, ch, &abc);
    SelectObject(dc_, font_);
    if (!known) return fallback;
    const long long units = static_cast<long long>(abc.abcA) + abc.abcB + abc.abcC;
    return static_cast<int>(std::llround(static_cast<double>(units) * emWidth_ / unitsPerEm_));
  }

  void Render(char32_t cp, GlyphImage* out) override {
    if (cp > 0xFFFF) return;  // outside the Basic Multilingual Plane: not in the game's text
    GLYPHMETRICS gm{};
    const UINT ch = static_cast<UINT>(cp);
    const DWORD size = GetGlyphOutlineW(dc_, ch, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &matrix_);
    if (size == GDI_ERROR) return;
    out->advance = Advance(ch, gm.gmCellIncX);
    if (size == 0) return;  // a blank character
    std::vector<uint8_t> levels(size);
    if (GetGlyphOutlineW(dc_, ch, GGO_GRAY8_BITMAP, &gm, size, levels.data(), &matrix_) ==
        GDI_ERROR)
      return;
    const int w = static_cast<int>(gm.gmBlackBoxX), h = static_cast<int>(gm.gmBlackBoxY);
    const int pitch = (w + 3) & ~3;  // rows are padded to whole double words
    if (w <= 0 || h <= 0 || static_cast<size_t>(pitch) * h > levels.size()) return;
    out->left = gm.gmptGlyphOrigin.x;
    out->top = gm.gmptGlyphOrigin.y;
    out->width = w;
    out->height = h;
    out->coverage.resize(static_cast<size_t>(w) * h);
    // GDI gives 65 levels (0..64).
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int v = levels[static_cast<size_t>(y) * pitch + x];
        out->coverage[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(v >= 64 ? 255 : v * 4);
      }
  }

  const std::string& Name() const override { return name_; }

 private:
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HFONT designFont_ = nullptr;  // the face at one pixel a design unit
  int unitsPerEm_ = 0;
  int emWidth_ = 16;
  MAT2 matrix_{};
  std::string name_;
};

}  // namespace

std::unique_ptr<GlyphSource> OpenGlyphSource(const GlyphRequest& request, std::string* error) {
  auto source = std::make_unique<GdiGlyphs>();
  if (!source->Open(request, error)) return nullptr;
  return source;
}
