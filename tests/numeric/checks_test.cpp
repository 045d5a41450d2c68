#include "numeric/checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vokt {
namespace {

TEST(Checks, NearlyEqualIsStrict) {
  EXPECT_FALSE(NearlyEqual(1, 1 + 5.01e-12L));
  EXPECT_FALSE(NearlyEqual(0, 5e-12L));
  EXPECT_TRUE(NearlyEqual(1, 1 + 4e-12L));
  EXPECT_FALSE(NearlyEqual(0, NAN));
}

TEST(Checks, IntegerValue) {
  struct Row {
    Real x;
    bool expected;
  };
  const Row rows[] = {
      {2147483647.0L, true}, {-2147483648.0L, true},    {3e9L, true},
      {2147483646.0L, true}, {-3.0000000000001L, true}, {2.5L, false},
      {2 + 1e-12L, true},    {2 + 1e-11L, false},       {NAN, false},
      {INFINITY, false},
  };
  for (const Row& r : rows) EXPECT_EQ(IsIntegerValue(r.x), r.expected) << (double)r.x;
}

TEST(Checks, ProbabilitiesThatRoundAwayAreShownInExponentNotation) {
  const struct {
    int n;
    Real p;
    const char* text;
  } rows[] = {
      {4, 1.1285884059538406e-19L, "1.1286e-19"},
      {4, 0.00004L, "4e-05"},
      {4, 0.00005L, "0.0001"},
      {4, 0, "0"},
      {4, 1, "1"},
      {4, 0.25L, "0.25"},
      {12, 7.6198530241605260659e-24L, "7.619853024161e-24"},
      {4, 1 - 0x1p-40L, "1 \u2212 9.0949e-13"},
      {0, 0.3L, "3e-01"},
      {0, 0.7L, "1 \u2212 3e-01"},
      {0, 1e-5L, "1e-05"},
      {4, INFINITY, "\u221e"},
      {4, -INFINITY, "\u2212\u221e"},
  };
  for (const auto& r : rows) EXPECT_EQ(FormatProbability(r.n, r.p), r.text) << (double)r.p;
  EXPECT_EQ(FormatNumber(-INFINITY), "\u2212\u221e");
}

TEST(Checks, InfiniteBoundsInMessages) {
  EXPECT_THROW(CheckValue(msgLessThan, INFINITY, InfBound), ArgumentError);
  try {
    CheckValue(msgLessThan, INFINITY, InfBound);
  } catch (const ArgumentError& e) {
    EXPECT_STREQ(e.what(), "Numbers too large.");
  }
  EXPECT_NO_THROW(CheckValue(msgGreaterThan, -1e4000L, -InfBound));
}

TEST(Checks, FloorIntAndRounding) {
  EXPECT_EQ(FloorInt(-2.5L), -3);
  EXPECT_EQ(FloorInt(-2), -2);
  EXPECT_EQ(FloorInt(2.9L), 2);
  EXPECT_EQ(FloorInt(-2147483648.0L), INT32_MIN);
  EXPECT_THROW(FloorInt(3e9L), RangeError);
  EXPECT_THROW(FloorInt(-2147483648.5L), RangeError);
  EXPECT_THROW(FloorInt(NAN), RangeError);
  EXPECT_EQ(RoundInt(2.5L), 2);
  EXPECT_EQ(RoundInt(3.5L), 4);
  EXPECT_EQ(RoundInt(-2.5L), -2);
  EXPECT_THROW(RoundInt(2147483648.0L), RangeError);
}

std::string MessageOf(int id, Real x, Real b) {
  try {
    CheckValue(id, x, b);
  } catch (const ArgumentError& e) {
    return e.what();
  }
  return "";
}

TEST(Checks, CheckValueMessagesAndTolerances) {
  struct Row {
    int id;
    Real x, b;
    const char* message;
  };
  const Row rows[] = {
      {1301, 0.000000000004L, 0, "Value should be greater than 0"},
      {1301, 1e-11L, 0, ""},
      {1302, 0, 0, ""},
      {1302, -1e-20L, 0, "Value should be at least 0"},
      {1315, 1, 1, ""},
      {1315, 1.0000001L, 1, "Value should not be greater than 1"},
      {1303, 10, 10.000000000001L, "Value should be less than 10.000000000001"},
      {1305, 0, 0, "Second parameter should be greater than 0"},
      {1307, 5, 5, "Second parameter should be smaller than 5"},
      {1310, 0.5L, 1, "Third parameter should be at least 1"},
      {1311, 7, 2.5L, "Third parameter should be less than 2.5"},
      {1304, -99, 0, ""},
      {1302, NAN, 0, "Value should be at least 0"},
      {1315, NAN, 1, "Value should not be greater than 1"},
  };
  for (const Row& r : rows) EXPECT_EQ(MessageOf(r.id, r.x, r.b), r.message) << r.id;
}

TEST(Checks, ErrorIfRaisesTheText) {
  EXPECT_TRUE(ErrorIf(false, 1361));
  try {
    ErrorIf(true, 1361);
    FAIL();
  } catch (const ArgumentError& e) {
    EXPECT_STREQ(e.what(), "Numbers too large.");
  }
}

TEST(Checks, Formatting) {
  struct Row {
    int decimals;
    Real x;
    const char* text;
  };  // decimals < 0: FormatNumber
  const Row rows[] = {
      {-1, 0.5L, "0.5"},
      {-1, 2, "2"},
      {-1, 1.0L / 3, "0.333333333333"},
      {-1, -1e-15L, "0"},
      {-1, 2.0L / 3, "0.666666666667"},
      {-1, -7.25L, "-7.25"},
      {-1, 123456789.125L, "123456789.125"},
      {4, 0.123456L, "0.1235"},
      {4, 0.1L, "0.1"},
      {0, 2.5L, "2"},
      {0, 3.5L, "4"},
      {3, 0.00151L, "0.002"},
      {2, -0.001L, "0"},
      {-1, 1.5e20L, "1.5E+20"},
  };
  for (const Row& r : rows) {
    std::string s = r.decimals < 0 ? FormatNumber(r.x) : FormatDecimals(r.decimals, r.x);
    EXPECT_EQ(s, r.text) << (double)r.x;
  }
}

TEST(Checks, DecimalSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(FormatNumber(0.25L), "0,25");
  Real v = 0;
  EXPECT_TRUE(ParseNumber("1,5", v));
  EXPECT_EQ(v, 1.5L);
  EXPECT_FALSE(ParseNumber("1.5", v));
  SetDecimalSeparator('.');
  EXPECT_EQ(FormatNumber(0.25L), "0.25");
}

TEST(Checks, ParseNumberRefusesWhatIsNotANumber) {
  struct Row {
    const char* text;
    bool ok;
    Real value;
  };
  const Row rows[] = {
      {"1.96", true, 1.96L}, {" -2 ", true, -2}, {"1e3", true, 1000}, {".5", true, 0.5L},
      {"5.", true, 5},       {"+7", true, 7},    {"", false, 0},      {"-", false, 0},
      {".", false, 0},       {"abc", false, 0},  {"nan", false, 0},   {"inf", false, 0},
      {"1e5000", false, 0},  {"1,5", false, 0},  {"0x10", false, 0},  {"1e", false, 0},
      {"2 3", false, 0},
  };
  for (const Row& r : rows) {
    Real v = -12345;
    EXPECT_EQ(ParseNumber(r.text, v), r.ok) << r.text;
    if (r.ok)
      EXPECT_EQ(v, r.value) << r.text;
    else
      EXPECT_EQ(v, -12345) << r.text;
  }
  std::string digits(400, '9');
  Real v = 0;
  EXPECT_TRUE(ParseNumber(digits, v));
  EXPECT_GT(v, 1e399L);
}

}  // namespace
}  // namespace vokt
