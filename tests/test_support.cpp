#include "tests/test_support.h"

#include <gtest/gtest.h>

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
