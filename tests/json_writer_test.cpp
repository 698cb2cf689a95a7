// The JSON writer of the runner's dumps: stable numbers, commas in the right
// places, and strings that stay valid JSON whatever they hold.
#include "base/json_writer.h"

#include <gtest/gtest.h>

TEST(JsonWriter, NumbersHaveAtMostSixDecimalsWithoutTrailingZeros) {
  EXPECT_EQ(FormatNumber(1.5), "1.5");
  EXPECT_EQ(FormatNumber(2.0), "2");
  EXPECT_EQ(FormatNumber(0.1234564), "0.123456");
  EXPECT_EQ(FormatNumber(-0.0000001), "0");  // never "-0"
  EXPECT_EQ(FormatNumber(-3.25), "-3.25");
  EXPECT_EQ(FormatNumber(1.0 / 0.0), "null");
  EXPECT_EQ(FormatNumber(0.0 / 0.0), "null");
}

TEST(JsonWriter, NestedObjectsAndArraysGetTheirCommas) {
  JsonWriter json;
  json.BeginObject();
  json.Key("a").Int(1);
  json.Key("v").Vec({1, 2.5f, -3});
  json.Key("list").BeginArray();
  json.Int(1);
  json.BeginObject().Key("b").Bool(true).EndObject();
  json.Null();
  json.EndArray();
  json.Key("empty").BeginArray().EndArray();
  json.EndObject();
  EXPECT_EQ(json.Text(), R"({"a":1,"v":[1,2.5,-3],"list":[1,{"b":true},null],"empty":[]})");
}

TEST(JsonWriter, StringsAreEscaped) {
  JsonWriter json;
  json.BeginArray();
  json.String("say \"hi\"\\ \n\t");
  json.String(std::string("\x01", 1));
  json.String("星");  // UTF-8 passes through
  json.EndArray();
  EXPECT_EQ(json.Text(), "[\"say \\\"hi\\\"\\\\ \\n\\t\",\"\\u0001\",\"星\"]");
}
