// The options screen's rules, played with input frames: moving and wrapping,
// each item changing what it says, binding by pressing (with swaps, and the
// quit key and button kept), asking before the defaults, and leaving.
#include "app/options_menu.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>

#include "platform/bindings.h"
#include "platform/input_types.h"

namespace {

// Plays frames into the menu: keys held and pad buttons held in each.
class Player {
 public:
  explicit Player(OptionsMenu& menu) : menu_(menu) {}
  OptionsMenu::Effect Frame(std::initializer_list<int> keys, uint16_t buttons = 0) {
    uint8_t k[256] = {};
    for (int key : keys) k[key] = 0x80;
    PadRecord pad;
    pad.connected = 1;
    pad.state.Gamepad.wButtons = buttons;
    frame_ = frame_.Next(k, pad);
    return menu_.Update(frame_);
  }
  // A press and its release: one action of the menu.
  OptionsMenu::Effect Press(int key) {
    const OptionsMenu::Effect e = Frame({key});
    Frame({});
    return e;
  }
  OptionsMenu::Effect PressButton(uint16_t button) {
    const OptionsMenu::Effect e = Frame({}, button);
    Frame({});
    return e;
  }
  void MoveTo(int row) {
    while (menu_.Cursor() != row) Press(DIK_DOWN);
  }

 private:
  OptionsMenu& menu_;
  InputFrame frame_;
};

}  // namespace

TEST(OptionsMenu, EachItemChangesWhatItSaysAndTheCursorWraps) {
  OptionsMenu menu{Settings{}};
  Player p(menu);
  EXPECT_EQ(menu.Cursor(), 0);
  p.Press(DIK_UP);
  EXPECT_EQ(menu.Cursor(), OptionsMenu::kBack) << "up from the top wraps to the bottom";
  p.Press(DIK_DOWN);
  EXPECT_EQ(menu.Cursor(), 0);

  // Volumes in steps of ten, held between 0 and 100; each change is said.
  EXPECT_EQ(p.Press(DIK_LEFT), OptionsMenu::Effect::kVolumeChanged);
  EXPECT_EQ(menu.Edited().musicVolume, 90);
  EXPECT_EQ(menu.Rows(Language::kEnglish)[0].second, "90");
  EXPECT_EQ(p.Press(DIK_RIGHT), OptionsMenu::Effect::kVolumeChanged);
  EXPECT_EQ(p.Press(DIK_RIGHT), OptionsMenu::Effect::kNone) << "already 100";
  p.MoveTo(OptionsMenu::kEffectsVolume);
  for (int i = 0; i < 12; ++i) p.PressButton(XINPUT_GAMEPAD_DPAD_LEFT);
  EXPECT_EQ(menu.Edited().effectsVolume, 0);
  EXPECT_EQ(menu.Edited().musicVolume, 100);

  p.MoveTo(OptionsMenu::kDisplay);
  EXPECT_EQ(menu.Rows(Language::kEnglish)[OptionsMenu::kDisplay].second, "Window");
  p.Press(DIK_RETURN);
  EXPECT_TRUE(menu.Edited().fullscreen);
  EXPECT_EQ(menu.Rows(Language::kEnglish)[OptionsMenu::kDisplay].second, "Full screen");

  p.MoveTo(OptionsMenu::kWindowSize);
  p.Press(DIK_RIGHT);
  EXPECT_EQ(menu.Edited().windowWidth, 1600);
  EXPECT_EQ(menu.Edited().windowHeight, 900);
  p.Press(DIK_LEFT);
  p.Press(DIK_LEFT);
  EXPECT_EQ(menu.Edited().windowWidth, 2560) << "the sizes go round";

  p.MoveTo(OptionsMenu::kLanguage);
  EXPECT_EQ(menu.Rows(Language::kJapanese)[OptionsMenu::kLanguage].second, "システムに合わせる");
  p.Press(DIK_RIGHT);
  EXPECT_EQ(menu.Edited().language, Language::kJapanese);
  p.Press(DIK_RIGHT);
  EXPECT_EQ(menu.Edited().language, Language::kEnglish);
  p.Press(DIK_RIGHT);
  EXPECT_FALSE(menu.Edited().language.has_value());

  // Up held moves once, then repeats after a pause.
  p.MoveTo(OptionsMenu::kBack);
  for (int i = 0; i < 20; ++i) p.Frame({DIK_UP});
  EXPECT_EQ(menu.Cursor(), OptionsMenu::kDefaults);
  p.Frame({DIK_UP});  // the 21st frame held
  EXPECT_EQ(menu.Cursor(), OptionsMenu::kPad);
  for (int i = 0; i < 5; ++i) p.Frame({DIK_UP});
  EXPECT_EQ(menu.Cursor(), OptionsMenu::kPad);
  p.Frame({DIK_UP});  // and every sixth after it
  EXPECT_EQ(menu.Cursor(), OptionsMenu::kKeys);
}

// In a browser the page sizes the window: the row says so in both languages,
// and neither left nor right changes the saved size.
TEST(OptionsMenu, AWindowSizedByItsHostKeepsItsSizeAndSaysWhy) {
  Settings settings;
  settings.windowWidth = 1600;
  settings.windowHeight = 900;
  OptionsMenu menu{settings, true};
  Player p(menu);
  p.MoveTo(OptionsMenu::kWindowSize);
  EXPECT_EQ(menu.Rows(Language::kEnglish)[OptionsMenu::kWindowSize].second, "Fits the page");
  EXPECT_EQ(menu.Rows(Language::kJapanese)[OptionsMenu::kWindowSize].second, "ページに合わせる");
  for (int key : {DIK_RIGHT, DIK_LEFT, DIK_RETURN}) {
    EXPECT_EQ(p.Press(key), OptionsMenu::Effect::kNone);
    EXPECT_EQ(menu.Edited().windowWidth, 1600);
    EXPECT_EQ(menu.Edited().windowHeight, 900);
  }
  // The rest of the screen still works: full screen is still the player's.
  p.MoveTo(OptionsMenu::kDisplay);
  p.Press(DIK_RETURN);
  EXPECT_TRUE(menu.Edited().fullscreen);
}

TEST(OptionsMenu, TheWindowSizesKeepTheCurrentOneInItsPlace) {
  const auto usual = OptionsMenu::WindowSizes(1280, 720);
  EXPECT_EQ(usual.size(), 4u);
  for (const auto& s : usual) EXPECT_EQ(s.first * 9, s.second * 16) << "16:9";
  const auto odd = OptionsMenu::WindowSizes(1366, 768);
  ASSERT_EQ(odd.size(), 5u);
  EXPECT_EQ(odd[1], (std::pair<int, int>{1366, 768}));
}

TEST(OptionsMenu, BindingTakesThePressedKeyAndSwapsWithItsOldAction) {
  OptionsMenu menu{Settings{}};
  Player p(menu);
  p.MoveTo(OptionsMenu::kKeys);
  p.Press(DIK_RETURN);
  ASSERT_EQ(menu.CurrentPage(), OptionsMenu::Page::kKeys);
  EXPECT_EQ(menu.Rows(Language::kEnglish).size(), KeyActions().size() + 1);
  // select (row 4) onto M, which flip had: flip takes Space.
  p.MoveTo(4);
  p.Press(DIK_RETURN);
  EXPECT_EQ(menu.WaitingFor(), OptionsMenu::Waiting::kKey);
  EXPECT_EQ(menu.Rows(Language::kEnglish)[4].second, "Press a key (pad B: cancel)");
  p.Press(DIK_ESCAPE);
  EXPECT_EQ(menu.WaitingFor(), OptionsMenu::Waiting::kKey) << "Escape is the quit key's";
  p.Press(DIK_M);
  EXPECT_EQ(menu.WaitingFor(), OptionsMenu::Waiting::kNothing);
  EXPECT_EQ(menu.Edited().bindings.keys[4], DIK_M);
  EXPECT_EQ(menu.Edited().bindings.keys[5], DIK_SPACE);
  EXPECT_EQ(menu.Rows(Language::kEnglish)[4].second, "M");
  // The pad's B lets a key go unbound.
  p.Press(DIK_RETURN);
  p.PressButton(XINPUT_GAMEPAD_B);
  EXPECT_EQ(menu.WaitingFor(), OptionsMenu::Waiting::kNothing);
  EXPECT_EQ(menu.Edited().bindings.keys[4], DIK_M);
  // Backspace leaves the page, with the cursor back on its item.
  p.Press(DIK_BACK);
  EXPECT_EQ(menu.CurrentPage(), OptionsMenu::Page::kMain);
  EXPECT_EQ(menu.Cursor(), OptionsMenu::kKeys);

  // Pad buttons: select onto A (confirm's), BACK refused.
  p.MoveTo(OptionsMenu::kPad);
  p.PressButton(XINPUT_GAMEPAD_A);
  ASSERT_EQ(menu.CurrentPage(), OptionsMenu::Page::kPad);
  p.PressButton(XINPUT_GAMEPAD_A);
  EXPECT_EQ(menu.WaitingFor(), OptionsMenu::Waiting::kButton);
  p.PressButton(XINPUT_GAMEPAD_BACK);
  EXPECT_EQ(menu.WaitingFor(), OptionsMenu::Waiting::kButton) << "BACK is the quit button's";
  p.PressButton(XINPUT_GAMEPAD_A);
  EXPECT_EQ(menu.Edited().bindings.buttons[0], XINPUT_GAMEPAD_A);
  EXPECT_EQ(menu.Edited().bindings.buttons[3], XINPUT_GAMEPAD_RIGHT_SHOULDER);
  std::set<uint16_t> buttons(menu.Edited().bindings.buttons.begin(),
                             menu.Edited().bindings.buttons.end());
  EXPECT_EQ(buttons.size(), PadActions().size());
  // The page's last row returns.
  p.MoveTo(static_cast<int>(PadActions().size()));
  p.Press(DIK_RETURN);
  EXPECT_EQ(menu.CurrentPage(), OptionsMenu::Page::kMain);
}

TEST(OptionsMenu, TheDefaultsComeBackOnlyAfterAYesAndBackLeaves) {
  Settings mine;
  mine.musicVolume = 30;
  mine.bindings.keys[4] = DIK_LSHIFT;
  OptionsMenu menu{mine};
  Player p(menu);
  p.MoveTo(OptionsMenu::kDefaults);
  p.Press(DIK_RETURN);
  EXPECT_EQ(menu.WaitingFor(), OptionsMenu::Waiting::kConfirmDefaults);
  EXPECT_FALSE(menu.DefaultsAnswerIsYes()) << "no is offered first";
  p.Press(DIK_RETURN);
  EXPECT_EQ(menu.Edited().musicVolume, 30) << "no keeps everything";
  p.Press(DIK_RETURN);
  p.Press(DIK_RIGHT);
  EXPECT_TRUE(menu.DefaultsAnswerIsYes());
  EXPECT_EQ(menu.Rows(Language::kEnglish)[OptionsMenu::kDefaults].second, "Sure?  No  [Yes]");
  EXPECT_EQ(p.Press(DIK_RETURN), OptionsMenu::Effect::kVolumeChanged);
  EXPECT_EQ(menu.Edited().musicVolume, 100);
  EXPECT_EQ(menu.Edited().bindings.keys, InputBindings::Defaults().keys);

  EXPECT_EQ(p.Press(DIK_BACK), OptionsMenu::Effect::kLeave) << "Backspace leaves";
  p.MoveTo(OptionsMenu::kBack);
  EXPECT_EQ(p.PressButton(XINPUT_GAMEPAD_A), OptionsMenu::Effect::kLeave);
  EXPECT_EQ(p.PressButton(XINPUT_GAMEPAD_B), OptionsMenu::Effect::kLeave) << "and pad B";
}
