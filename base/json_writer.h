// A small writer of JSON text for the runner's dumps. Numbers are printed
// with at most six decimals, trailing zeros dropped, so dumps are stable and
// easy to compare.
#pragma once

#include <string>

#include "base/math.h"

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(const char* key);
  JsonWriter& Int(long long v);
  JsonWriter& Number(double v);
  JsonWriter& Bool(bool v);
  JsonWriter& String(const std::string& v);
  JsonWriter& Null();
  JsonWriter& Vec(const Vec3& v);
  const std::string& Text() const { return text_; }

 private:
  void Separate();
  void Quote(const std::string& v);
  std::string text_;
  bool needComma_ = false;
};

std::string FormatNumber(double v);
