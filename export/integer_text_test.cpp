#include "export/integer_text.h"

#include <gtest/gtest.h>

#include <string>

namespace mudalinx::exporter {
namespace {

TEST(ToInteger, ReadsSignedDecimalNumbersOf32Bits) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},       {"42", 42},   {"+7", 7},    {"-15", -15}, {"007", 7},
      {"0485", 485},  {"-0", 0},    {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
  };
  for (const auto& c : cases) EXPECT_EQ(toInteger(c.text), c.value) << c.text;
}

TEST(ToInteger, RefusesEverythingElseWithTheConversionMessage) {
  for (const char* text : {"", "+", "-", "1a", "1 2", " 1", "1.5", "$1F", "0x10", "--1", "2147483648",
                           "-2147483649", "99999999999999999999"}) {
    try {
      toInteger(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' no es un valor entero válido");
    }
  }
}

TEST(ToInteger, MessageShowsTheTextInUtf8) {
  try {
    toInteger("a\xF1o");  // "año" in Windows-1252
    ADD_FAILURE();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'año' no es un valor entero válido");
  }
}

}  // namespace
}  // namespace mudalinx::exporter
