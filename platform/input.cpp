#include "platform/input.h"

#include <cstring>

#include "base/report_error.h"
#include "platform/bindings.h"

namespace {

InputSource* g_keyboard = nullptr;
uint8_t g_keys[256];
uint8_t g_prevKeys[256];
PadRecord g_pad;
PadRecord g_prevPad;
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
  std::memset(g_keys, 0, sizeof g_keys);
  std::memset(g_prevKeys, 0, sizeof g_prevKeys);
  g_pad = PadRecord{};
  g_prevPad = PadRecord{};
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
    std::memcpy(g_prevKeys, g_keys, sizeof g_keys);
    uint8_t fresh[256];
    // A failed read keeps the current array, so nothing changes this frame.
    if (g_keyboard->ReadKeyboard(fresh)) ApplyKeyBindings(fresh, g_keys);
    g_prevPad = g_pad;
    g_pad.connected = g_keyboard->ReadPad(0, &g_physicalPad.state) ? 1 : 0;
    g_pad.state = g_physicalPad.state;
    g_pad.state.Gamepad.wButtons = ApplyPadBindings(g_physicalPad.state.Gamepad.wButtons);
  }
}

const uint8_t* GetKeyState() {
  return g_keys;
}
const uint8_t* GetPrevKeyState() {
  return g_prevKeys;
}
const PadRecord* GetPadState() {
  return &g_pad;
}
const PadRecord* GetPrevPadState() {
  return &g_prevPad;
}

void GetLeftStick(const PadRecord* pad, Vec2* out) {
  ReadStick(pad, pad->state.Gamepad.sThumbLX, pad->state.Gamepad.sThumbLY, out);
}

void GetRightStick(const PadRecord* pad, Vec2* out) {
  ReadStick(pad, pad->state.Gamepad.sThumbRX, pad->state.Gamepad.sThumbRY, out);
}

void SetInputStateForTest(const uint8_t* keys, const PadRecord& pad) {
  std::memcpy(g_prevKeys, g_keys, sizeof g_keys);
  std::memcpy(g_keys, keys, sizeof g_keys);
  g_prevPad = g_pad;
  g_pad = pad;
}
