#include "tests/test_support.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

// The OpenGL driver is loaded and unloaded by the system libraries as
// offscreen devices come and go. Keeping it resident for the whole test run
// lets the leak checker name it (and its own allocations be suppressed)
// instead of reporting frames of an unloaded, unnamed module.
const bool kDriverResident = [] {
  for (const char* lib : {"libEGL_mesa.so.0", "libglapi.so.0", "libgbm.so.1",
                          "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
    dlopen(lib, RTLD_LAZY | RTLD_NODELETE);
  return true;
}();

}  // namespace

ScopedHeadlessBackend::ScopedHeadlessBackend(HeadlessOptions options)
    : backend_(std::make_unique<HeadlessBackend>(std::move(options))) {
  SetBackend(backend_.get());
}

ScopedHeadlessBackend::~ScopedHeadlessBackend() { SetBackend(nullptr); }

InputScript ScriptFrom(const std::string& text) {
  InputScript script;
  std::string error;
  EXPECT_TRUE(script.Parse(text, "inline", &error)) << error;
  return script;
}
