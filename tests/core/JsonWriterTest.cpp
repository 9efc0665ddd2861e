// The JSON of --json: well formed, strings escaped so that any path survives, and numbers exactly
// the digits they were given.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/JsonWriter.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

TEST(JsonWriter, NestsObjectsAndArraysWithOneMemberPerLine) {
    JsonWriter json;
    json.beginObject();
    json.key("name").string("Silicon");
    json.key("points").beginArray();
    json.beginObject().key("channel").integer(655).key("ok").boolean(true).endObject();
    json.beginObject().key("channel").integer(-3).key("ok").boolean(false).key("spline").null().endObject();
    json.endArray();
    json.key("empty").beginArray().endArray();
    json.key("nothing").beginObject().endObject();
    json.endObject();
    EXPECT_EQ(json.text(),
              "{\n"
              "  \"name\": \"Silicon\",\n"
              "  \"points\": [\n"
              "    {\n"
              "      \"channel\": 655,\n"
              "      \"ok\": true\n"
              "    },\n"
              "    {\n"
              "      \"channel\": -3,\n"
              "      \"ok\": false,\n"
              "      \"spline\": null\n"
              "    }\n"
              "  ],\n"
              "  \"empty\": [],\n"
              "  \"nothing\": {}\n"
              "}\n");
}

TEST(JsonWriter, NumbersKeepTheDigitsOfTheTextOutput) {
    for (const double value : {10.939501, 0.02692846, -0.00004, 2734.5, 1e15, -1e-9}) {
        for (int precision : {0, 2, 4, 6, 8}) {
            JsonWriter json;
            json.fixed(value, precision);
            EXPECT_EQ(json.text(), formatFixed(value, precision) + "\n") << value << " " << precision;
        }
    }
    JsonWriter json;
    json.beginArray().number("10.50").number("-0.0000").number("1.5e-3").number("0").endArray();
    EXPECT_EQ(json.text(), "[\n  10.50,\n  -0.0000,\n  1.5e-3,\n  0\n]\n");
}

TEST(JsonWriter, WhatIsNoJsonNumberBecomesNull) {
    const double notFinite[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
    for (double value : notFinite) {
        JsonWriter json;
        json.fixed(value, 4);
        EXPECT_EQ(json.text(), "null\n") << value;
    }
    for (const char* text : {"", "-", "01", "1.", ".5", "+1", "1e", "1e+", "0x10", "1,5", " 1", "inf", "nan", "1 "}) {
        EXPECT_FALSE(JsonWriter::isJsonNumber(text)) << text;
        JsonWriter json;
        json.number(text);
        EXPECT_EQ(json.text(), "null\n") << text;
    }
    for (const char* text : {"0", "-0", "10", "0.5", "-12.250", "1E5", "2e-07", "3.0E+2"})
        EXPECT_TRUE(JsonWriter::isJsonNumber(text)) << text;
}

TEST(JsonWriter, StringsEscapeWhatJsonForbidsAndReplaceBytesThatAreNotUtf8) {
    JsonWriter json;
    json.beginArray();
    json.string("a \"quoted\" C:\\path");
    json.string(std::string("tab\tline\nreturn\r\x01\x1f\b\f") + std::string(1, '\0'));
    json.string("K\xc3\xa4se \xe2\x82\xac \xf0\x9f\x98\x80");  // UTF-8 passes as it is
    json.string("bad\xff end\xc3");                            // a stray byte and a cut sequence
    json.string("\xed\xa0\x80 \xc0\xaf \xf4\x90\x80\x80");     // surrogate, overlong, past U+10FFFF
    json.endArray();
    EXPECT_EQ(json.text(),
              "[\n"
              "  \"a \\\"quoted\\\" C:\\\\path\",\n"
              "  \"tab\\tline\\nreturn\\r\\u0001\\u001f\\b\\f\\u0000\",\n"
              "  \"K\xc3\xa4se \xe2\x82\xac \xf0\x9f\x98\x80\",\n"
              "  \"bad\\ufffd end\\ufffd\",\n"
              "  \"\\ufffd\\ufffd\\ufffd \\ufffd\\ufffd \\ufffd\\ufffd\\ufffd\\ufffd\"\n"
              "]\n");
}

}  // namespace
}  // namespace s2t
