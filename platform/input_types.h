// Keyboard and pad layouts of DirectInput and XInput, which the game tests
// directly: a 256-byte key array indexed by DIK scan code (bit 0x80 = down) and
// the XINPUT_STATE record of pad 0.
#pragma once

#include <cstdint>

// DirectInput scan codes of the keys the game and the tools use.
enum DikCode : uint8_t {
  DIK_ESCAPE = 0x01,
  DIK_1 = 0x02,
  DIK_2 = 0x03,
  DIK_3 = 0x04,
  DIK_4 = 0x05,
  DIK_5 = 0x06,
  DIK_6 = 0x07,
  DIK_7 = 0x08,
  DIK_8 = 0x09,
  DIK_9 = 0x0A,
  DIK_0 = 0x0B,
  DIK_MINUS = 0x0C,
  DIK_EQUALS = 0x0D,
  DIK_BACK = 0x0E,
  DIK_TAB = 0x0F,
  DIK_Q = 0x10,
  DIK_W = 0x11,
  DIK_E = 0x12,
  DIK_R = 0x13,
  DIK_T = 0x14,
  DIK_Y = 0x15,
  DIK_U = 0x16,
  DIK_I = 0x17,
  DIK_O = 0x18,
  DIK_P = 0x19,
  DIK_LBRACKET = 0x1A,
  DIK_RBRACKET = 0x1B,
  DIK_RETURN = 0x1C,
  DIK_LCONTROL = 0x1D,
  DIK_A = 0x1E,
  DIK_S = 0x1F,
  DIK_D = 0x20,
  DIK_F = 0x21,
  DIK_G = 0x22,
  DIK_H = 0x23,
  DIK_J = 0x24,
  DIK_K = 0x25,
  DIK_L = 0x26,
  DIK_SEMICOLON = 0x27,
  DIK_APOSTROPHE = 0x28,
  DIK_GRAVE = 0x29,
  DIK_LSHIFT = 0x2A,
  DIK_BACKSLASH = 0x2B,
  DIK_Z = 0x2C,
  DIK_X = 0x2D,
  DIK_C = 0x2E,
  DIK_V = 0x2F,
  DIK_B = 0x30,
  DIK_N = 0x31,
  DIK_M = 0x32,
  DIK_COMMA = 0x33,
  DIK_PERIOD = 0x34,
  DIK_SLASH = 0x35,
  DIK_RSHIFT = 0x36,
  DIK_LMENU = 0x38,
  DIK_SPACE = 0x39,
  DIK_CAPITAL = 0x3A,
  DIK_F1 = 0x3B,
  DIK_F2 = 0x3C,
  DIK_F3 = 0x3D,
  DIK_F4 = 0x3E,
  DIK_F5 = 0x3F,
  DIK_F6 = 0x40,
  DIK_F7 = 0x41,
  DIK_F8 = 0x42,
  DIK_F9 = 0x43,
  DIK_F10 = 0x44,
  DIK_F11 = 0x57,
  DIK_F12 = 0x58,
  DIK_NUMPADENTER = 0x9C,
  DIK_RCONTROL = 0x9D,
  DIK_RMENU = 0xB8,
  DIK_HOME = 0xC7,
  DIK_UP = 0xC8,
  DIK_PRIOR = 0xC9,
  DIK_LEFT = 0xCB,
  DIK_RIGHT = 0xCD,
  DIK_END = 0xCF,
  DIK_DOWN = 0xD0,
  DIK_NEXT = 0xD1,
  DIK_INSERT = 0xD2,
  DIK_DELETE = 0xD3,
};

// The DIK name without its prefix ("RETURN", "SPACE", "UP") for a code, or
// null; and the code for a name, or -1. Used by input scripts.
const char* DikName(int code);
int DikFromName(const char* name);

// XInput button bits.
constexpr uint16_t XINPUT_GAMEPAD_DPAD_UP = 0x0001;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_DOWN = 0x0002;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_LEFT = 0x0004;
constexpr uint16_t XINPUT_GAMEPAD_DPAD_RIGHT = 0x0008;
constexpr uint16_t XINPUT_GAMEPAD_START = 0x0010;
constexpr uint16_t XINPUT_GAMEPAD_BACK = 0x0020;
constexpr uint16_t XINPUT_GAMEPAD_LEFT_THUMB = 0x0040;
constexpr uint16_t XINPUT_GAMEPAD_RIGHT_THUMB = 0x0080;
constexpr uint16_t XINPUT_GAMEPAD_LEFT_SHOULDER = 0x0100;
constexpr uint16_t XINPUT_GAMEPAD_RIGHT_SHOULDER = 0x0200;
constexpr uint16_t XINPUT_GAMEPAD_A = 0x1000;
constexpr uint16_t XINPUT_GAMEPAD_B = 0x2000;
constexpr uint16_t XINPUT_GAMEPAD_X = 0x4000;
constexpr uint16_t XINPUT_GAMEPAD_Y = 0x8000;

// Button name for input scripts ("A", "START", "RB", ...) to its bit, or 0.
uint16_t PadButtonFromName(const char* name);
const char* PadButtonName(uint16_t bit);

struct XINPUT_GAMEPAD {
  uint16_t wButtons = 0;
  uint8_t bLeftTrigger = 0;
  uint8_t bRightTrigger = 0;
  int16_t sThumbLX = 0;
  int16_t sThumbLY = 0;  // up is positive
  int16_t sThumbRX = 0;
  int16_t sThumbRY = 0;
};

struct XINPUT_STATE {
  uint32_t dwPacketNumber = 0;
  XINPUT_GAMEPAD Gamepad;
};

// The pad record the game keeps for pad 0: the XInput state and whether the
// last read found the pad.
struct PadRecord {
  XINPUT_STATE state;
  uint32_t connected = 0;
};
static_assert(sizeof(PadRecord) == 20, "pad record is 20 bytes");
