// Tests of the string table: sample texts (trailing blanks and Symbol-font characters
// included), table order, missing ids, names of all types, the place of range hints and
// the well-formedness of the formula markup.

#include "resources/strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using vokt::AllStringIds;
using vokt::HasString;
using vokt::LoadString;

// Decodes UTF-8 into code points; returns false on a malformed sequence.
bool DecodeUtf8(const std::string& s, std::vector<char32_t>& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size();) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
      out.push_back(b0);
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
      extra = 1;
      cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
      extra = 2;
      cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
      extra = 3;
      cp = b0 & 0x07;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;  // truncated sequence
    for (int k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra]) return false;  // overlong form
    out.push_back(cp);
    i += extra + 1;
  }
  return true;
}

struct Sample {
  int id;
  const char* text;
};

void PrintTo(const Sample& s, std::ostream* os) { *os << s.id << " \"" << s.text << "\""; }

class StringSampleTest : public ::testing::TestWithParam<Sample> {};

TEST_P(StringSampleTest, TextIsExact) {
  const Sample& s = GetParam();
  EXPECT_TRUE(HasString(s.id)) << s.id;
  EXPECT_EQ(LoadString(s.id), std::string(s.text)) << s.id;
}

// Symbol-font characters are written as explicit UTF-8 bytes here, so that the test
// does not depend on the encoding of this source file: "\xC3\xA5" is U+00E5 and
// "\xC2\xB3" is U+00B3.
INSTANTIATE_TEST_SUITE_P(
    Samples, StringSampleTest,
    ::testing::Values(
        // User-interface texts.
        Sample{876, "Apply New Distribution"}, Sample{877, "Compute Probabilities"},
        Sample{878, "Compute Quantile"}, Sample{879, "Expectation "}, Sample{880, "Variance "},
        Sample{881, "Standard deviation "}, Sample{882, "Moment generating function M(t) = "},
        Sample{883, "Save sample to a file?"}, Sample{885, "pdf"},
        Sample{886, "probability density function"}, Sample{887, "pmf"},
        Sample{888, "probability mass function"}, Sample{1166, "Do you want to overwrite "},
        // Names.
        Sample{900, "distribution:"}, Sample{901, "normal"}, Sample{908, "t"},
        Sample{919, "double-exponential"}, Sample{923, "non-central chi2"},
        Sample{927, "Mann-Whitney "}, Sample{932, "non-central beta"},
        Sample{933, "Kolmogorov-Smirnov"}, Sample{936, "own discrete"},
        // Messages.
        Sample{1300, "Caution"}, Sample{1301, "Value should be greater than "},
        Sample{1302, "Value should be at least "}, Sample{1303, "Value should be less than "},
        Sample{1304, "Value should be integer."},
        Sample{1307, "Second parameter should be smaller than "},
        Sample{1311, "Third parameter should be less than "},
        Sample{1312, "Third parameter should be integer."},
        Sample{1313, "The second number should not be greater than the first."},
        Sample{1315, "Value should not be greater than "},
        Sample{1325, "The parameter hasn't yet received a value."}, Sample{1347, "Division by 0"},
        Sample{1361, "Numbers too large."},
        Sample{1363, "Variance -and so standard deviation- does not exist."},
        Sample{1374, "Please first specify the parameter(s)."},
        // Formulas, with trailing blanks and Symbol-font characters.
        Sample{1901, "f(x) = (2@p@s^2_)^-1/2_ exp[-(x-@m)^2_/2@s^2_] "},
        Sample{1906, "P(X=x) = e^-@l_ @l^x_ / x!    for x = 0, 1, ...."},
        Sample{1923,
               "Distribution of @\xC3\xA5 Z_i^^2_ where Z_i^ indep. ~ N(@m_i^,1), "
               "i=1,...@n; @l = @\xC3\xA5 @m_i^^2_"},
        Sample{1930, "f(x)=(@l/(2@px^3_))^1/2_ exp[-@l(x-@m)^2_/(2@m^2_x)]   for  x > 0"},
        // Range hints.
        Sample{2005, "n = 1, 2, ..."}, Sample{2029, "n_i^ = 1, 2, ..."}, Sample{2101, "@s^2_ > 0"},
        Sample{2112, "N_1^= 1, ..., N-1"}, Sample{2123, "@l @\xC2\xB3 0"},
        Sample{2131, "1 < B < 63 (B = number of blocks)"}, Sample{2201, "@s > 0"},
        Sample{2224, "@l @\xC2\xB3 0"},
        // Moments, generating functions and remarks.
        Sample{2317, "does not exist"}, Sample{2417, "does not exist"}, Sample{2430, "@m^3_/@l "},
        Sample{2503, "(e^@bt_ - e^@at_)/(@b - @a)t"},
        Sample{2608,
               "Used when making inference about means when sampling from normal "
               "distributions; related to the F-distribution (t_n^^2_=F_1,n^)"},
        Sample{2627,
               "Used in nonparametric testing of equality of two distributions. "
               "Mann-Whitney's U = Wilcoxon's Rank Sum  R - m*(m+1)/2"},
        Sample{2631,
               "Used in nonparametric testing of differences between treatments in a "
               "randomized complete block design."}));

// Ids without text: help context numbers, gaps, the absent range hints, formulas and
// remarks, the never-filled second remark (type id + 1800), and ids far outside.
class MissingStringTest : public ::testing::TestWithParam<int> {};

TEST_P(MissingStringTest, YieldsEmptyText) {
  const int id = GetParam();
  EXPECT_FALSE(HasString(id)) << id;
  EXPECT_EQ(LoadString(id), "") << id;
}

INSTANTIATE_TEST_SUITE_P(Missing, MissingStringTest,
                         ::testing::Values(INT_MIN, -1, 0, 1, 820, 821, 870, 875, 884, 889, 899,
                                           937, 1165, 1167, 1299, 1314, 1375, 1900, 1932, 2001,
                                           2002, 2003, 2032, 2125, 2232, 2329, 2508, 2614, 2632,
                                           2633, 2701, 2731, INT_MAX));

TEST(StringTableTest, IdsAreStrictlyIncreasing) {
  const std::vector<int> ids = AllStringIds();
  ASSERT_FALSE(ids.empty());
  for (std::size_t i = 1; i < ids.size(); ++i) {
    EXPECT_LT(ids[i - 1], ids[i]) << "at position " << i;
  }
}

TEST(StringTableTest, EveryListedIdIsFoundWithNonEmptyText) {
  for (int id : AllStringIds()) {
    EXPECT_TRUE(HasString(id)) << id;
    EXPECT_FALSE(LoadString(id).empty()) << id;
  }
}

TEST(StringTableTest, IdsLieInTheirBlocks) {
  for (int id : AllStringIds()) {
    bool ok = (id >= 821 && id <= 888) || (id >= 900 && id <= 936) || id == 1166 ||
              (id >= 1300 && id <= 1374);
    if (id >= 1901 && id <= 2632) {
      const int type = 900 + (id - 1900) % 100;
      ok = type >= 901 && type <= 932;
    }
    EXPECT_TRUE(ok) << id;
  }
}

TEST(StringTableTest, EveryTypeHasADistinctName) {
  std::set<std::string> names;
  for (int t = 901; t <= 932; ++t) {
    ASSERT_TRUE(HasString(t)) << t;
    const std::string name = LoadString(t);
    EXPECT_FALSE(name.empty()) << t;
    EXPECT_TRUE(names.insert(name).second) << "duplicate name " << name;
  }
}

// A type has range hints (type id + 1000 + 100 i) only for parameters it has.
TEST(StringTableTest, NoRangeHintBeyondTheParameterCount) {
  struct TypeParams {
    int type;
    int count;
  };
  const TypeParams types[] = {
      {901, 3}, {902, 1}, {903, 2}, {904, 1}, {905, 2}, {906, 1}, {907, 1}, {908, 1},
      {909, 2}, {910, 2}, {911, 2}, {912, 3}, {913, 2}, {914, 2}, {915, 2}, {916, 2},
      {917, 2}, {918, 2}, {919, 2}, {920, 2}, {921, 2}, {922, 1}, {923, 2}, {924, 3},
      {925, 2}, {926, 1}, {927, 2}, {928, 2}, {929, 1}, {930, 2}, {931, 2}, {932, 3},
  };
  for (const TypeParams& tp : types) {
    for (int i = tp.count + 1; i <= 3; ++i) {
      EXPECT_FALSE(HasString(tp.type + 1000 + 100 * i)) << "type " << tp.type << " parameter " << i;
    }
  }
}

// Texts followed by a bound end in a blank; complete sentences end in a full stop.
TEST(StringTableTest, MessageEndings) {
  for (int id : {1301, 1302, 1303, 1305, 1306, 1307, 1309, 1310, 1311, 1315}) {
    const std::string s = LoadString(id);
    ASSERT_FALSE(s.empty()) << id;
    EXPECT_EQ(s.back(), ' ') << id;
    EXPECT_NE(s[s.size() - 2], ' ') << id;
  }
  for (int id : {1304, 1308, 1312, 1313, 1361, 1363}) {
    const std::string s = LoadString(id);
    ASSERT_FALSE(s.empty()) << id;
    EXPECT_EQ(s.back(), '.') << id;
  }
}

// Every text is valid UTF-8 of 8-bit (Latin-1) code points without control characters.
TEST(StringTableTest, TextsAreUtf8OfLatin1Characters) {
  std::vector<char32_t> cps;
  for (int id : AllStringIds()) {
    const std::string s = LoadString(id);
    ASSERT_TRUE(DecodeUtf8(s, cps)) << id;
    for (char32_t c : cps) {
      EXPECT_GE(c, U' ') << id;
      EXPECT_NE(c, U'\x7F') << id;
      EXPECT_LT(c, U'\x100') << id;
    }
  }
}

// Markup: '@' and '$' take one following character, '@' only characters the Symbol font
// is used for, and the levels of '^' and '_' stay within one step and return to zero.
TEST(StringTableTest, MarkupIsWellFormed) {
  const std::u32string symbolChars = U"aBbcdGlLmnpqs\u00E5\u00B3\u00AC\u00AE\u00A3";
  std::vector<char32_t> cps;
  for (int id : AllStringIds()) {
    ASSERT_TRUE(DecodeUtf8(LoadString(id), cps)) << id;
    int level = 0;
    for (std::size_t i = 0; i < cps.size(); ++i) {
      const char32_t c = cps[i];
      if (c == U'@' || c == U'$') {
        ASSERT_LT(i + 1, cps.size()) << "dangling markup in " << id;
        if (c == U'@') {
          EXPECT_NE(symbolChars.find(cps[i + 1]), std::u32string::npos)
              << "unexpected Symbol character in " << id;
        }
        ++i;
      } else if (c == U'^') {
        ++level;
      } else if (c == U'_') {
        --level;
      }
      EXPECT_LE(level, 1) << id;
      EXPECT_GE(level, -1) << id;
    }
    EXPECT_EQ(level, 0) << "unbalanced levels in " << id;
  }
}

TEST(StringTableTest, SymbolCharactersAreTwoByteUtf8) {
  // The summation sign after '@' must be U+00E5 (C3 A5), not a raw 0xE5 byte.
  const std::string s = LoadString(1923);
  ASSERT_GE(s.size(), 18u);
  EXPECT_EQ(s.substr(16, 3), "@\xC3\xA5");
  EXPECT_EQ(LoadString(2123).size(), 8u);  // "@l @" + 2 bytes + " 0"
}

}  // namespace
