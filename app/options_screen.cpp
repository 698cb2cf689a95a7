#include "app/options_screen.h"

#include <string>

#include "base/text_encoding.h"
#include "platform/font.h"
#include "platform/graphics.h"
#include "platform/sprite.h"
#include "render/preload.h"

namespace {

constexpr int kLeft = 300, kRight = 980, kTop = 120, kRowHeight = 42;
// The binding pages have more rows: closer together, from higher up.
constexpr int kLongPageTop = 105, kLongPageRowHeight = 34;
constexpr D3DCOLOR kText = 0xFFE8ECF8, kChosen = 0xFFFFD36A, kDim = 0xFFA0A8C0;

void Text(Font* font, Sprite* sprite, const std::string& utf8, int x, int y, D3DCOLOR colour,
          bool alignRight = false) {
  const std::string sjis = Utf8ToSjis(utf8);
  if (alignRight) x -= font->TextWidth(sjis.c_str());
  RECT rect{x, y, x + 1280, y + kRowHeight};
  font->DrawText(sprite, sjis.c_str(), -1, &rect, DT_NOCLIP, colour);
}

}  // namespace

void OptionsScreen::Draw(Language language, InputDevice prompts) const {
  Sprite* sprite = GetSprite();
  Font* font = GetBoardFont();
  Texture* shade = GetSharedTexture(kTexFade);
  if (!sprite || !font || !shade) return;
  const bool en = language == Language::kEnglish;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(MatrixScaling(1280.0f / shade->Width(), 720.0f / shade->Height(), 1));
  sprite->Draw(shade, nullptr, nullptr, nullptr, 0xE6000000);
  sprite->SetTransform(Matrix::Identity());

  const char* heading = menu_.CurrentPage() == OptionsMenu::Page::kKeys
                            ? (en ? "Options: keys" : "オプション：キー")
                        : menu_.CurrentPage() == OptionsMenu::Page::kPad
                            ? (en ? "Options: pad buttons" : "オプション：パッド")
                            : (en ? "Options" : "オプション");
  Text(font, sprite, heading, kLeft, kTop - 70, kText);
  const auto rows = menu_.Rows(language);
  const bool longPage = rows.size() > OptionsMenu::kItemCount;
  const int top = longPage ? kLongPageTop : kTop;
  const int rowHeight = longPage ? kLongPageRowHeight : kRowHeight;
  for (size_t i = 0; i < rows.size(); ++i) {
    const bool chosen = static_cast<int>(i) == menu_.Cursor();
    const int y = top + static_cast<int>(i) * rowHeight;
    const D3DCOLOR colour = chosen ? kChosen : kText;
    Text(font, sprite, (chosen ? "> " : "  ") + rows[i].first, kLeft, y, colour);
    if (!rows[i].second.empty()) Text(font, sprite, rows[i].second, kRight, y, colour, true);
  }
  if (menu_.CurrentPage() == OptionsMenu::Page::kMain) {
    const char* note = en ? "Changes take effect when you leave this screen."
                          : "変更はこの画面をぬけると反映されます。";
    Text(font, sprite, note, kLeft, 720 - 150, kDim);
    if (duringStage_)
      Text(
          font, sprite,
          en ? "A new language comes with the title screen." : "言語はタイトル画面から変わります。",
          kLeft, 720 - 185, kDim);
  }
  const bool pad = prompts == InputDevice::kPad;
  const char* moves =
      pad ? (en ? "D-pad up/down: choose    Left/right: change"
                : "十字ボタン上下：選ぶ　　左右：変える")
          : (en ? "Up/Down: choose    Left/Right: change" : "上下：選ぶ　　左右：変える");
  const char* answers =
      pad ? (en ? "A: confirm    B: back" : "A：決定　　B：もどる")
          : (en ? "Enter: confirm    Backspace: back" : "Enter：決定　　Backspace：もどる");
  Text(font, sprite, moves, kLeft, 720 - 100, kDim);
  Text(font, sprite, answers, kLeft, 720 - 60, kDim);
  sprite->End();
}

void DrawOptionsHint(Language language, InputDevice prompts, int x, int y) {
  Sprite* sprite = GetSprite();
  Font* font = GetBoardFont();
  if (!sprite || !font) return;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const bool en = language == Language::kEnglish;
  const char* hint = prompts == InputDevice::kPad ? (en ? "Y: Options" : "Y：オプション")
                                                  : (en ? "Tab: Options" : "Tab：オプション");
  // A shadow keeps it readable over the bright band of the river.
  Text(font, sprite, hint, x + 2, y + 2, 0xC0000000, true);
  Text(font, sprite, hint, x, y, 0xFFE8ECF8, true);
  sprite->End();
}
