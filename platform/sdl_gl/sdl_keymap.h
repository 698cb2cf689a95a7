// SDL scan codes to DirectInput key codes.
#pragma once

#include <SDL.h>

int DikFromScancode(SDL_Scancode code);
