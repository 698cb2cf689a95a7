#include "platform/sdl_gl/sdl_keymap.h"

#include "platform/input_types.h"

int DikFromScancode(SDL_Scancode code) {
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) {
    static const int kLetters[26] = {DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F, DIK_G, DIK_H, DIK_I,
                                     DIK_J, DIK_K, DIK_L, DIK_M, DIK_N, DIK_O, DIK_P, DIK_Q, DIK_R,
                                     DIK_S, DIK_T, DIK_U, DIK_V, DIK_W, DIK_X, DIK_Y, DIK_Z};
    return kLetters[code - SDL_SCANCODE_A];
  }
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_0) return DIK_1 + (code - SDL_SCANCODE_1);
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F10) return DIK_F1 + (code - SDL_SCANCODE_F1);
  // The other keys the game knows, one by one.
  static constexpr struct {
    SDL_Scancode code;
    int dik;
  } kKeys[] = {
      {SDL_SCANCODE_RETURN, DIK_RETURN},
      {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
      {SDL_SCANCODE_BACKSPACE, DIK_BACK},
      {SDL_SCANCODE_TAB, DIK_TAB},
      {SDL_SCANCODE_SPACE, DIK_SPACE},
      {SDL_SCANCODE_MINUS, DIK_MINUS},
      {SDL_SCANCODE_EQUALS, DIK_EQUALS},
      {SDL_SCANCODE_LEFTBRACKET, DIK_LBRACKET},
      {SDL_SCANCODE_RIGHTBRACKET, DIK_RBRACKET},
      {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH},
      {SDL_SCANCODE_SEMICOLON, DIK_SEMICOLON},
      {SDL_SCANCODE_APOSTROPHE, DIK_APOSTROPHE},
      {SDL_SCANCODE_GRAVE, DIK_GRAVE},
      {SDL_SCANCODE_COMMA, DIK_COMMA},
      {SDL_SCANCODE_PERIOD, DIK_PERIOD},
      {SDL_SCANCODE_SLASH, DIK_SLASH},
      {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL},
      {SDL_SCANCODE_F11, DIK_F11},
      {SDL_SCANCODE_F12, DIK_F12},
      {SDL_SCANCODE_INSERT, DIK_INSERT},
      {SDL_SCANCODE_HOME, DIK_HOME},
      {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
      {SDL_SCANCODE_DELETE, DIK_DELETE},
      {SDL_SCANCODE_END, DIK_END},
      {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
      {SDL_SCANCODE_RIGHT, DIK_RIGHT},
      {SDL_SCANCODE_LEFT, DIK_LEFT},
      {SDL_SCANCODE_DOWN, DIK_DOWN},
      {SDL_SCANCODE_UP, DIK_UP},
      {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER},
      {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
      {SDL_SCANCODE_LSHIFT, DIK_LSHIFT},
      {SDL_SCANCODE_LALT, DIK_LMENU},
      {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
      {SDL_SCANCODE_RSHIFT, DIK_RSHIFT},
      {SDL_SCANCODE_RALT, DIK_RMENU},
  };
  for (const auto& k : kKeys)
    if (k.code == code) return k.dik;
  return 0;
}
