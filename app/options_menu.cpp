#include "app/options_menu.h"

#include <algorithm>
#include <cstring>

#include "platform/bindings.h"
#include "platform/input_types.h"

namespace {

constexpr int kVolumeStep = 10;
// Up or down held: the cursor moves again after this many frames, then
// every kRepeatEvery.
constexpr int kRepeatAfter = 20, kRepeatEvery = 6;
constexpr float kStickPush = 0.8f;

// The labels of the rows, in Japanese and English.
struct Words {
  const char* ja;
  const char* en;
};
const char* Say(const Words& w, Language language) {
  return language == Language::kEnglish ? w.en : w.ja;
}

constexpr Words kItemWords[OptionsMenu::kItemCount] = {
    {"音楽の音量", "Music volume"},
    {"効果音の音量", "Effects volume"},
    {"表示", "Display"},
    {"ウィンドウの大きさ", "Window size"},
    {"言語", "Language"},
    {"キーの割り当て", "Keys"},
    {"パッドの割り当て", "Pad buttons"},
    {"初期設定に戻す", "Back to the defaults"},
    {"もどる", "Back"},
};

// What each action is called on the binding pages, by its settings name.
struct ActionWords {
  const char* name;
  Words words;
};
constexpr ActionWords kActionWords[] = {
    {"up", {"奥へ歩く", "Walk up"}},
    {"down", {"手前へ歩く", "Walk down"}},
    {"left", {"左へ歩く", "Walk left"}},
    {"right", {"右へ歩く", "Walk right"}},
    {"select", {"選ぶ・持ち上げる・投げる", "Select, lift, throw"}},
    {"flip", {"裏返す", "Flip"}},
    {"camera_left", {"カメラを左へ", "Camera left"}},
    {"camera_right", {"カメラを右へ", "Camera right"}},
    {"camera_up", {"カメラを上へ", "Camera up"}},
    {"camera_down", {"カメラを下へ", "Camera down"}},
    {"camera_back", {"カメラを戻す", "Camera back"}},
    {"confirm", {"決定", "Confirm"}},
    {"pause", {"ポーズ", "Pause"}},
};
std::string ActionLabel(const char* name, Language language) {
  for (const ActionWords& a : kActionWords)
    if (std::strcmp(a.name, name) == 0) return Say(a.words, language);
  return name;
}

bool StickPushed(float now, float before, float sign) {
  return now * sign > kStickPush && before * sign <= kStickPush;
}

}  // namespace

OptionsMenu::OptionsMenu(const Settings& settings, bool windowSizeIsTheHosts)
    : settings_(settings), windowSizeIsTheHosts_(windowSizeIsTheHosts) {}

std::vector<std::pair<int, int>> OptionsMenu::WindowSizes(int currentWidth, int currentHeight) {
  std::vector<std::pair<int, int>> sizes{{1280, 720}, {1600, 900}, {1920, 1080}, {2560, 1440}};
  const std::pair<int, int> current{currentWidth, currentHeight};
  if (std::find(sizes.begin(), sizes.end(), current) == sizes.end()) {
    // In its place by width (then height), so left and right stay in order.
    sizes.insert(std::upper_bound(sizes.begin(), sizes.end(), current), current);
  }
  return sizes;
}

int OptionsMenu::RowCount() const {
  switch (page_) {
    case Page::kKeys:
      return static_cast<int>(KeyActions().size()) + 1;
    case Page::kPad:
      return static_cast<int>(PadActions().size()) + 1;
    default:
      return kItemCount;
  }
}

OptionsMenu::Effect OptionsMenu::Update(const InputFrame& input) {
  const Vec2 stick = input.LeftStick();
  Vec2 stickBefore{0, 0};
  GetLeftStick(&input.prevPad, &stickBefore);
  const bool confirm = input.KeyPressed(DIK_RETURN) || input.PadPressed(XINPUT_GAMEPAD_A);
  const bool back = input.KeyPressed(DIK_BACK) || input.PadPressed(XINPUT_GAMEPAD_B);
  const bool left = input.KeyPressed(DIK_LEFT) || input.PadPressed(XINPUT_GAMEPAD_DPAD_LEFT) ||
                    StickPushed(stick.x, stickBefore.x, -1);
  const bool right = input.KeyPressed(DIK_RIGHT) || input.PadPressed(XINPUT_GAMEPAD_DPAD_RIGHT) ||
                     StickPushed(stick.x, stickBefore.x, 1);

  if (waiting_ == Waiting::kKey || waiting_ == Waiting::kButton) {
    Bind(input);
    return Effect::kNone;
  }
  if (waiting_ == Waiting::kConfirmDefaults) {
    if (left || right) yes_ = !yes_;
    if (confirm && yes_) settings_ = Settings{};
    if (confirm || back) waiting_ = Waiting::kNothing;
    return confirm && yes_ ? Effect::kVolumeChanged : Effect::kNone;
  }

  // Up and down move the cursor (wrapping), again and again while held.
  const bool upHeld =
      input.KeyDown(DIK_UP) || input.PadDown(XINPUT_GAMEPAD_DPAD_UP) || stick.y > kStickPush;
  const bool downHeld =
      input.KeyDown(DIK_DOWN) || input.PadDown(XINPUT_GAMEPAD_DPAD_DOWN) || stick.y < -kStickPush;
  if (upHeld != downHeld) {
    const bool move =
        repeat_ == 0 || (repeat_ >= kRepeatAfter && (repeat_ - kRepeatAfter) % kRepeatEvery == 0);
    ++repeat_;
    if (move) cursor_ = (cursor_ + (downHeld ? 1 : RowCount() - 1)) % RowCount();
  } else {
    repeat_ = 0;
  }

  if (page_ == Page::kMain) {
    if (back) return Effect::kLeave;
    return UpdateMain(left, right, confirm);
  }
  // A binding page: confirm on an action waits for its key or button; its
  // last row and the back button return to the first page.
  const bool lastRow = cursor_ == RowCount() - 1;
  if (back || (confirm && lastRow)) {
    cursor_ = page_ == Page::kKeys ? kKeys : kPad;
    page_ = Page::kMain;
  } else if (confirm) {
    waiting_ = page_ == Page::kKeys ? Waiting::kKey : Waiting::kButton;
  }
  return Effect::kNone;
}

OptionsMenu::Effect OptionsMenu::UpdateMain(bool left, bool right, bool confirm) {
  const int step = right ? 1 : left ? -1 : 0;
  switch (cursor_) {
    case kMusicVolume:
    case kEffectsVolume: {
      int& volume = cursor_ == kMusicVolume ? settings_.musicVolume : settings_.effectsVolume;
      const int now = std::clamp(volume + step * kVolumeStep, 0, 100);
      if (now == volume) return Effect::kNone;
      volume = now;
      return Effect::kVolumeChanged;
    }
    case kDisplay:
      if (step || confirm) settings_.fullscreen = !settings_.fullscreen;
      return Effect::kNone;
    case kWindowSize: {
      if (!step || windowSizeIsTheHosts_) return Effect::kNone;
      const auto sizes = WindowSizes(settings_.windowWidth, settings_.windowHeight);
      const auto at = std::find(sizes.begin(), sizes.end(),
                                std::pair<int, int>{settings_.windowWidth, settings_.windowHeight});
      const int i = static_cast<int>(at - sizes.begin());
      const int n = static_cast<int>(sizes.size());
      const auto& next = sizes[(i + step + n) % n];
      settings_.windowWidth = next.first;
      settings_.windowHeight = next.second;
      return Effect::kNone;
    }
    case kLanguage: {
      // Japanese, English, the system's, round in either direction.
      const int i = !settings_.language ? 2 : *settings_.language == Language::kEnglish ? 1 : 0;
      const int next = (i + (step ? step : confirm ? 1 : 0) + 3) % 3;
      if (next == 0) settings_.language = Language::kJapanese;
      if (next == 1) settings_.language = Language::kEnglish;
      if (next == 2) settings_.language.reset();
      return Effect::kNone;
    }
    case kKeys:
    case kPad:
      if (confirm) {
        page_ = cursor_ == kKeys ? Page::kKeys : Page::kPad;
        cursor_ = 0;
        repeat_ = 0;
      }
      return Effect::kNone;
    case kDefaults:
      if (confirm) {
        waiting_ = Waiting::kConfirmDefaults;
        yes_ = false;
      }
      return Effect::kNone;
    case kBack:
      return confirm ? Effect::kLeave : Effect::kNone;
    default:
      return Effect::kNone;
  }
}

void OptionsMenu::Bind(const InputFrame& input) {
  const size_t action = static_cast<size_t>(cursor_);
  if (waiting_ == Waiting::kKey) {
    // The pad's B lets a key go unbound; Escape stays the application's.
    if (input.PadPressed(XINPUT_GAMEPAD_B)) {
      waiting_ = Waiting::kNothing;
      return;
    }
    for (int k = 1; k < 256; ++k) {
      if (k == DIK_ESCAPE || !input.KeyPressed(k)) continue;
      BindKey(settings_.bindings, action, k);
      waiting_ = Waiting::kNothing;
      return;
    }
    return;
  }
  // A button: Backspace lets it go unbound; BACK stays the application's.
  if (input.KeyPressed(DIK_BACK)) {
    waiting_ = Waiting::kNothing;
    return;
  }
  for (int bit = 0; bit < 16; ++bit) {
    const uint16_t button = static_cast<uint16_t>(1u << bit);
    if (button == XINPUT_GAMEPAD_BACK || !input.PadPressed(button) || !PadButtonName(button))
      continue;
    BindButton(settings_.bindings, action, button);
    waiting_ = Waiting::kNothing;
    return;
  }
}

std::vector<std::pair<std::string, std::string>> OptionsMenu::Rows(Language language) const {
  const bool en = language == Language::kEnglish;
  std::vector<std::pair<std::string, std::string>> rows;
  auto waitingHere = [&](int row, Waiting what) { return waiting_ == what && cursor_ == row; };
  if (page_ == Page::kKeys || page_ == Page::kPad) {
    const bool keys = page_ == Page::kKeys;
    const size_t count = keys ? KeyActions().size() : PadActions().size();
    for (size_t i = 0; i < count; ++i) {
      const int row = static_cast<int>(i);
      std::string value;
      if (waitingHere(row, keys ? Waiting::kKey : Waiting::kButton)) {
        value =
            keys ? (en ? "Press a key (pad B: cancel)" : "キーを押してください（パッドB：やめる）")
                 : (en ? "Press a button (Backspace: cancel)"
                       : "ボタンを押してください（Backspace：やめる）");
      } else {
        const char* name = keys ? DikName(settings_.bindings.keys[i])
                                : PadButtonName(settings_.bindings.buttons[i]);
        value = name ? name : "?";
      }
      rows.emplace_back(ActionLabel(keys ? KeyActions()[i].name : PadActions()[i].name, language),
                        value);
    }
    rows.emplace_back(Say(kItemWords[kBack], language), "");
    return rows;
  }
  for (int i = 0; i < kItemCount; ++i) {
    std::string value;
    switch (i) {
      case kMusicVolume:
        value = std::to_string(settings_.musicVolume);
        break;
      case kEffectsVolume:
        value = std::to_string(settings_.effectsVolume);
        break;
      case kDisplay:
        value = settings_.fullscreen ? (en ? "Full screen" : "フルスクリーン")
                                     : (en ? "Window" : "ウィンドウ");
        break;
      case kWindowSize:
        value = windowSizeIsTheHosts_ ? (en ? "Fits the page" : "ページに合わせる")
                                      : std::to_string(settings_.windowWidth) + " x " +
                                            std::to_string(settings_.windowHeight);
        break;
      case kLanguage:
        value = !settings_.language ? (en ? "The system's" : "システムに合わせる")
                : *settings_.language == Language::kEnglish ? "English"
                                                            : "日本語";
        break;
      case kDefaults:
        if (waiting_ == Waiting::kConfirmDefaults)
          value = yes_ ? (en ? "Sure?  No  [Yes]" : "よろしいですか？  いいえ  [はい]")
                       : (en ? "Sure?  [No]  Yes" : "よろしいですか？  [いいえ]  はい");
        break;
      default:
        break;
    }
    rows.emplace_back(Say(kItemWords[i], language), value);
  }
  return rows;
}
