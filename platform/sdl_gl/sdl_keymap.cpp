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
  switch (code) {
    case SDL_SCANCODE_RETURN:
      return DIK_RETURN;
    case SDL_SCANCODE_ESCAPE:
      return DIK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
      return DIK_BACK;
    case SDL_SCANCODE_TAB:
      return DIK_TAB;
    case SDL_SCANCODE_SPACE:
      return DIK_SPACE;
    case SDL_SCANCODE_MINUS:
      return DIK_MINUS;
    case SDL_SCANCODE_EQUALS:
      return DIK_EQUALS;
    case SDL_SCANCODE_LEFTBRACKET:
      return DIK_LBRACKET;
    case SDL_SCANCODE_RIGHTBRACKET:
      return DIK_RBRACKET;
    case SDL_SCANCODE_BACKSLASH:
      return DIK_BACKSLASH;
    case SDL_SCANCODE_SEMICOLON:
      return DIK_SEMICOLON;
    case SDL_SCANCODE_APOSTROPHE:
      return DIK_APOSTROPHE;
    case SDL_SCANCODE_GRAVE:
      return DIK_GRAVE;
    case SDL_SCANCODE_COMMA:
      return DIK_COMMA;
    case SDL_SCANCODE_PERIOD:
      return DIK_PERIOD;
    case SDL_SCANCODE_SLASH:
      return DIK_SLASH;
    case SDL_SCANCODE_CAPSLOCK:
      return DIK_CAPITAL;
    case SDL_SCANCODE_F11:
      return DIK_F11;
    case SDL_SCANCODE_F12:
      return DIK_F12;
    case SDL_SCANCODE_INSERT:
      return DIK_INSERT;
    case SDL_SCANCODE_HOME:
      return DIK_HOME;
    case SDL_SCANCODE_PAGEUP:
      return DIK_PRIOR;
    case SDL_SCANCODE_DELETE:
      return DIK_DELETE;
    case SDL_SCANCODE_END:
      return DIK_END;
    case SDL_SCANCODE_PAGEDOWN:
      return DIK_NEXT;
    case SDL_SCANCODE_RIGHT:
      return DIK_RIGHT;
    case SDL_SCANCODE_LEFT:
      return DIK_LEFT;
    case SDL_SCANCODE_DOWN:
      return DIK_DOWN;
    case SDL_SCANCODE_UP:
      return DIK_UP;
    case SDL_SCANCODE_KP_ENTER:
      return DIK_NUMPADENTER;
    case SDL_SCANCODE_LCTRL:
      return DIK_LCONTROL;
    case SDL_SCANCODE_LSHIFT:
      return DIK_LSHIFT;
    case SDL_SCANCODE_LALT:
      return DIK_LMENU;
    case SDL_SCANCODE_RCTRL:
      return DIK_RCONTROL;
    case SDL_SCANCODE_RSHIFT:
      return DIK_RSHIFT;
    case SDL_SCANCODE_RALT:
      return DIK_RMENU;
    default:
      return 0;
  }
}
