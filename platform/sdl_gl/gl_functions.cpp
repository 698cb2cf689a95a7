#include "platform/sdl_gl/gl_functions.h"

#include <SDL.h>

bool GlFunctions::Load(const char** missing) {
#define ORVELUNE_GL_LOAD(type, name)                           \
  name = reinterpret_cast<type>(SDL_GL_GetProcAddress(#name)); \
  if (!name) {                                                 \
    if (missing) *missing = #name;                             \
    return false;                                              \
  }
  ORVELUNE_GL_FUNCTIONS(ORVELUNE_GL_LOAD)
#ifdef __EMSCRIPTEN__
  ORVELUNE_GL_LOAD(PFNGLCLEARDEPTHFPROC, glClearDepthf)
#else
  ORVELUNE_GL_DESKTOP_FUNCTIONS(ORVELUNE_GL_LOAD)
#endif
#undef ORVELUNE_GL_LOAD
  return true;
}

void GlFunctions::ClearDepth(float z) {
#ifdef __EMSCRIPTEN__
  glClearDepthf(z);
#else
  glClearDepth(z);
#endif
}
