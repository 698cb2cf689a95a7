#include "platform/sdl_gl/browser_loop.h"

#include <emscripten.h>

#include <cstdlib>
#include <utility>

namespace {

std::function<bool()>* g_pass = nullptr;  // the one loop the page runs

void OneRefresh() {
  if ((*g_pass)()) return;
  emscripten_cancel_main_loop();
  delete g_pass;
  g_pass = nullptr;
  // The formatter would split the script's operators.
  // clang-format off
  EM_ASM({ if (typeof orveluneEnded === "function") orveluneEnded(); });
  // clang-format on
}

}  // namespace

void RunAtEachDisplayRefresh(std::function<bool()> pass) {
  g_pass = new std::function<bool()>(std::move(pass));
  // 0 frames per second: at the browser's own refresh (requestAnimationFrame);
  // true: main's stack is left, never returned to.
  emscripten_set_main_loop(OneRefresh, 0, true);
  std::abort();  // not reached
}

void TellPage(const char* key, double value) {
  EM_ASM({ (window.orvelune = window.orvelune || {})[UTF8ToString($0)] = $1; }, key, value);
}

void TellPage(const char* key, const char* text) {
  EM_ASM({ (window.orvelune = window.orvelune || {})[UTF8ToString($0)] = UTF8ToString($1); }, key,
         text);
}

bool PageIsFullScreen() {
  return EM_ASM_INT({ return document.fullscreenElement ? 1 : 0; }) != 0;
}

void AskPageForFullScreen(bool on) {
  // clang-format off
  EM_ASM({ if (typeof orveluneFullScreen === "function") orveluneFullScreen($0 !== 0); }, on);
  // clang-format on
}
