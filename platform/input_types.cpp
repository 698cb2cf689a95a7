#include "platform/input_types.h"

#include <cstring>
#include <iterator>

namespace {

struct NamedKey {
  const char* name;
  int code;
};

constexpr NamedKey kKeys[] = {
    {"ESCAPE", DIK_ESCAPE},
    {"1", DIK_1},
    {"2", DIK_2},
    {"3", DIK_3},
    {"4", DIK_4},
    {"5", DIK_5},
    {"6", DIK_6},
    {"7", DIK_7},
    {"8", DIK_8},
    {"9", DIK_9},
    {"0", DIK_0},
    {"MINUS", DIK_MINUS},
    {"EQUALS", DIK_EQUALS},
    {"BACK", DIK_BACK},
    {"TAB", DIK_TAB},
    {"Q", DIK_Q},
    {"W", DIK_W},
    {"E", DIK_E},
    {"R", DIK_R},
    {"T", DIK_T},
    {"Y", DIK_Y},
    {"U", DIK_U},
    {"I", DIK_I},
    {"O", DIK_O},
    {"P", DIK_P},
    {"LBRACKET", DIK_LBRACKET},
    {"RBRACKET", DIK_RBRACKET},
    {"RETURN", DIK_RETURN},
    {"LCONTROL", DIK_LCONTROL},
    {"A", DIK_A},
    {"S", DIK_S},
    {"D", DIK_D},
    {"F", DIK_F},
    {"G", DIK_G},
    {"H", DIK_H},
    {"J", DIK_J},
    {"K", DIK_K},
    {"L", DIK_L},
    {"SEMICOLON", DIK_SEMICOLON},
    {"APOSTROPHE", DIK_APOSTROPHE},
    {"GRAVE", DIK_GRAVE},
    {"LSHIFT", DIK_LSHIFT},
    {"BACKSLASH", DIK_BACKSLASH},
    {"Z", DIK_Z},
    {"X", DIK_X},
    {"C", DIK_C},
    {"V", DIK_V},
    {"B", DIK_B},
    {"N", DIK_N},
    {"M", DIK_M},
    {"COMMA", DIK_COMMA},
    {"PERIOD", DIK_PERIOD},
    {"SLASH", DIK_SLASH},
    {"RSHIFT", DIK_RSHIFT},
    {"LMENU", DIK_LMENU},
    {"SPACE", DIK_SPACE},
    {"CAPITAL", DIK_CAPITAL},
    {"F1", DIK_F1},
    {"F2", DIK_F2},
    {"F3", DIK_F3},
    {"F4", DIK_F4},
    {"F5", DIK_F5},
    {"F6", DIK_F6},
    {"F7", DIK_F7},
    {"F8", DIK_F8},
    {"F9", DIK_F9},
    {"F10", DIK_F10},
    {"F11", DIK_F11},
    {"F12", DIK_F12},
    {"NUMPADENTER", DIK_NUMPADENTER},
    {"RCONTROL", DIK_RCONTROL},
    {"RMENU", DIK_RMENU},
    {"HOME", DIK_HOME},
    {"UP", DIK_UP},
    {"PRIOR", DIK_PRIOR},
    {"LEFT", DIK_LEFT},
    {"RIGHT", DIK_RIGHT},
    {"END", DIK_END},
    {"DOWN", DIK_DOWN},
    {"NEXT", DIK_NEXT},
    {"INSERT", DIK_INSERT},
    {"DELETE", DIK_DELETE},
};

struct NamedButton {
  const char* name;
  uint16_t bit;
};

constexpr NamedButton kButtons[] = {
    {"DPAD_UP", XINPUT_GAMEPAD_DPAD_UP},
    {"DPAD_DOWN", XINPUT_GAMEPAD_DPAD_DOWN},
    {"DPAD_LEFT", XINPUT_GAMEPAD_DPAD_LEFT},
    {"DPAD_RIGHT", XINPUT_GAMEPAD_DPAD_RIGHT},
    {"START", XINPUT_GAMEPAD_START},
    {"BACK", XINPUT_GAMEPAD_BACK},
    {"LS", XINPUT_GAMEPAD_LEFT_THUMB},
    {"RS", XINPUT_GAMEPAD_RIGHT_THUMB},
    {"LB", XINPUT_GAMEPAD_LEFT_SHOULDER},
    {"RB", XINPUT_GAMEPAD_RIGHT_SHOULDER},
    {"A", XINPUT_GAMEPAD_A},
    {"B", XINPUT_GAMEPAD_B},
    {"X", XINPUT_GAMEPAD_X},
    {"Y", XINPUT_GAMEPAD_Y},
};

}  // namespace

const char* DikName(int code) {
  for (const auto& k : kKeys)
    if (k.code == code) return k.name;
  return nullptr;
}

int DikFromName(const char* name) {
  if (!name) return -1;
  if (std::strncmp(name, "DIK_", 4) == 0) name += 4;
  for (const auto& k : kKeys)
    if (std::strcmp(k.name, name) == 0) return k.code;
  return -1;
}

uint16_t PadButtonFromName(const char* name) {
  for (const auto& b : kButtons)
    if (std::strcmp(b.name, name) == 0) return b.bit;
  return 0;
}

const char* PadButtonName(uint16_t bit) {
  for (const auto& b : kButtons)
    if (b.bit == bit) return b.name;
  return nullptr;
}
