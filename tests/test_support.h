// Helpers shared by the tests: a headless program set up around a test, and
// frames stepped by hand.
#pragma once

#include <memory>
#include <string>

#include "app/application.h"
#include "platform/headless/headless_backend.h"

// Installs a headless backend for the lifetime of the object.
class ScopedHeadlessBackend {
 public:
  explicit ScopedHeadlessBackend(HeadlessOptions options = {});
  ~ScopedHeadlessBackend();
  HeadlessBackend& Get() { return *backend_; }

 private:
  std::unique_ptr<HeadlessBackend> backend_;
};

// Parses an input script given inline; fails the test on a mistake.
InputScript ScriptFrom(const std::string& text);
