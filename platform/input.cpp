#include "platform/input.h"

#include <cstring>

#include "base/report_error.h"
#include "platform/bindings.h"

namespace {

InputSource* g_keyboard = nullptr;
InputFrame g_frame;
PadRecord g_physicalPad;  // as the pad reports it, before the bindings

constexpr float kDeadZone = 7864.0796f;  // 24 % of 32767
constexpr float kStickScale = 20000.0f;

void ReadStick(const PadRecord* pad, int16_t x, int16_t y, Vec2* out) {
  if (!pad->connected) return;
  const float fx = x, fy = y;
  if (-kDeadZone < fx && fx < kDeadZone && -kDeadZone < fy && fy < kDeadZone) {
    out->x = 0;
    return;
  }
  out->x = fx / kStickScale;
  out->y = fy / kStickScale;
}

}  // namespace

int InitKeyboard(GameWindow* /*window*/) {
  g_frame = InputFrame{};
  g_physicalPad = PadRecord{};
  Backend* backend = GetBackend();
  g_keyboard = backend ? backend->CreateInputSource() : nullptr;
  if (!g_keyboard) {
    ReportError("DirectInputインターフェイスの取得に失敗しました");
    return 0;
  }
  return 1;
}

void ReleaseKeyboard() {
  if (g_keyboard) {
    delete g_keyboard;
    g_keyboard = nullptr;
  }
}

void UpdateInput() {
  if (g_keyboard) {
    uint8_t keys[256];
    std::memcpy(keys, g_frame.keys, sizeof keys);
    uint8_t fresh[256];
    // A failed read keeps the current array, so nothing changes this frame.
    if (g_keyboard->ReadKeyboard(fresh)) ApplyKeyBindings(fresh, keys);
    PadRecord pad;
    pad.connected = g_keyboard->ReadPad(0, &g_physicalPad.state) ? 1 : 0;
    pad.state = g_physicalPad.state;
    pad.state.Gamepad.wButtons = ApplyPadBindings(g_physicalPad.state.Gamepad.wButtons);
    g_frame = g_frame.Next(keys, pad);
  }
}

const InputFrame& CurrentInput() {
  return g_frame;
}

Vec2 InputFrame::LeftStick() const {
  Vec2 stick{0, 0};
  GetLeftStick(&pad, &stick);
  return stick;
}

Vec2 InputFrame::RightStick() const {
  Vec2 stick{0, 0};
  GetRightStick(&pad, &stick);
  return stick;
}

InputFrame InputFrame::Next(const uint8_t* nowKeys, const PadRecord& nowPad) const {
  InputFrame next;
  std::memcpy(next.prevKeys, keys, sizeof keys);
  std::memcpy(next.keys, nowKeys, sizeof next.keys);
  next.prevPad = pad;
  next.pad = nowPad;
  next.lastDevice = lastDevice;
  bool keyPressed = false;
  for (int k = 1; k < 256 && !keyPressed; ++k) keyPressed = next.KeyPressed(k);
  const uint16_t newButtons =
      nowPad.state.Gamepad.wButtons & static_cast<uint16_t>(~pad.state.Gamepad.wButtons);
  // A stick counts as it leaves its dead zone, not while it is held out.
  auto pushed = [](const InputFrame& f) {
    const Vec2 left = f.LeftStick(), right = f.RightStick();
    return left.x != 0 || left.y != 0 || right.x != 0 || right.y != 0;
  };
  const bool stickPushed = pushed(next) && !pushed(*this);
  if (keyPressed)
    next.lastDevice = InputDevice::kKeyboard;
  else if (nowPad.connected && (newButtons || stickPushed))
    next.lastDevice = InputDevice::kPad;
  return next;
}

void GetLeftStick(const PadRecord* pad, Vec2* out) {
  ReadStick(pad, pad->state.Gamepad.sThumbLX, pad->state.Gamepad.sThumbLY, out);
}

void GetRightStick(const PadRecord* pad, Vec2* out) {
  ReadStick(pad, pad->state.Gamepad.sThumbRX, pad->state.Gamepad.sThumbRY, out);
}
