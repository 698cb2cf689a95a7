#include "base/json_writer.h"

#include <cmath>
#include <cstdio>

std::string FormatNumber(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

void JsonWriter::Separate() {
  if (needComma_) text_ += ',';
  needComma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  text_ += '{';
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  text_ += '}';
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Separate();
  text_ += '[';
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  text_ += ']';
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Key(const char* key) {
  Separate();
  Quote(key);
  text_ += ':';
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::Int(long long v) {
  Separate();
  text_ += std::to_string(v);
  return *this;
}

JsonWriter& JsonWriter::Number(double v) {
  Separate();
  text_ += FormatNumber(v);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool v) {
  Separate();
  text_ += v ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  text_ += "null";
  return *this;
}

JsonWriter& JsonWriter::String(const std::string& v) {
  Separate();
  Quote(v);
  return *this;
}

void JsonWriter::Quote(const std::string& v) {
  text_ += '"';
  for (unsigned char c : v) {
    switch (c) {
      case '"':
        text_ += "\\\"";
        break;
      case '\\':
        text_ += "\\\\";
        break;
      case '\n':
        text_ += "\\n";
        break;
      case '\r':
        text_ += "\\r";
        break;
      case '\t':
        text_ += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          text_ += buf;
        } else {
          text_ += static_cast<char>(c);
        }
    }
  }
  text_ += '"';
}

JsonWriter& JsonWriter::Vec(const Vec3& v) {
  BeginArray();
  Number(v.x);
  Number(v.y);
  Number(v.z);
  return EndArray();
}
