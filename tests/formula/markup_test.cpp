#include "formula/markup.h"

#include <gtest/gtest.h>

#include "tests/formula/recording_surface.h"

namespace vokt {
namespace {

using test::RecordedText;
using test::RecordingSurface;

FontSpec Font10() {
  FontSpec f;
  f.face = "Lucida Sans Unicode";
  f.size = 10;
  return f;
}

struct ExpectedText {
  int x, y;
  std::string text;
  double size;
};

// The fake font is size points wide per character, so positions and widths
// show which size each piece was drawn in.  At size 10: S3 = 7, H = 5, Q = 2.
struct MarkupCase {
  const char* markup;
  int startX;
  std::vector<ExpectedText> drawn;
  int right;
};

class MarkupDrawing : public ::testing::TestWithParam<MarkupCase> {};

TEST_P(MarkupDrawing, DrawsPiecesAtTheirLevels) {
  const MarkupCase& c = GetParam();
  RecordingSurface s;
  s.SetFont(Font10());
  TextExtent e;
  MixedTextOut(s, c.startX, 0, e, true, c.markup);
  ASSERT_EQ(s.texts.size(), c.drawn.size()) << c.markup;
  for (size_t i = 0; i < c.drawn.size(); ++i) {
    const RecordedText& t = s.texts[i];
    EXPECT_EQ(t.x, c.drawn[i].x) << c.markup << " piece " << i;
    EXPECT_EQ(t.y, c.drawn[i].y) << c.markup << " piece " << i;
    EXPECT_EQ(t.text, c.drawn[i].text) << c.markup << " piece " << i;
    EXPECT_EQ(t.font.size, c.drawn[i].size) << c.markup << " piece " << i;
    EXPECT_EQ(t.font.face, "Lucida Sans Unicode") << "no switch to a Symbol face";
  }
  EXPECT_EQ(e.Right, c.right) << c.markup;
  EXPECT_EQ(e.Left, 0);
  EXPECT_EQ(e.Top, 0);
  EXPECT_EQ(e.Bottom, 20) << "height of X in the initial font";
  EXPECT_EQ(s.Font(), Font10()) << "font restored after " << c.markup;

  // Measuring gives the same extent and draws nothing.
  RecordingSurface m;
  m.SetFont(Font10());
  TextExtent me;
  MixedTextOut(m, c.startX, 0, me, false, c.markup);
  EXPECT_TRUE(m.texts.empty());
  EXPECT_EQ(me.Right, c.right);
  EXPECT_EQ(m.Font(), Font10());
}

INSTANTIATE_TEST_SUITE_P(
    Markup, MarkupDrawing,
    ::testing::Values(
        // sigma squared: sigma at full size, "2" at size 7 two pixels higher
        MarkupCase{"@s^2_", 0, {{0, 0, "σ", 10}, {10, -2, "2", 7}}, 17},
        // index: "1" at size 7, H = 5 below "N"
        MarkupCase{"N_1^", 0, {{0, 0, "N", 10}, {10, 5, "1", 7}}, 17},
        // without markup: one run, like a plain text output
        MarkupCase{"P(X > x)", 3, {{3, 0, "P(X > x)", 10}}, 83},
        // a bar over x: the macron at the same place, the width of x alone
        MarkupCase{"$x", 0, {{0, 0, "x", 10}, {0, 0, "¯", 10}}, 10},
        // a Symbol character inside a superscript takes the reduced size
        MarkupCase{"e^-@l_", 0, {{0, 0, "e", 10}, {10, -2, "-", 7}, {17, -2, "λ", 7}}, 24},
        // second level steps by Q, and back
        MarkupCase{"x^a^b__y",
                   0,
                   {{0, 0, "x", 10}, {10, -2, "a", 7}, {17, -4, "b", 7}, {24, 0, "y", 10}},
                   34},
        // 8-bit Symbol codes arrive as UTF-8 of their Latin-1 code point
        MarkupCase{"@å Z", 0, {{0, 0, "∑", 10}, {10, 0, " Z", 10}}, 30},
        MarkupCase{"X @£ x", 0, {{0, 0, "X ", 10}, {20, 0, "≤", 10}, {30, 0, " x", 10}}, 50},
        // "@" or "$" at the very end takes nothing
        MarkupCase{"a@", 5, {{5, 0, "a", 10}}, 15}, MarkupCase{"a$", 5, {{5, 0, "a", 10}}, 15},
        // an unclosed level still leaves the font as it was
        MarkupCase{"x^2", 0, {{0, 0, "x", 10}, {10, -2, "2", 7}}, 17},
        // a non-empty text returns the absolute position after it
        MarkupCase{"ab", 40, {{40, 0, "ab", 10}}, 60}));

TEST(Markup, EmptyTextDrawsNothingAndReturnsZero) {
  RecordingSurface s;
  s.SetFont(Font10());
  TextExtent e;
  e.Right = 99;
  MixedTextOut(s, 50, 7, e, true, "");
  EXPECT_TRUE(s.texts.empty());
  EXPECT_EQ(e.Right, 0);
  EXPECT_EQ(e.Bottom, 20);
}

TEST(Markup, ExtentMeasuresFromZero) {
  RecordingSurface s;
  s.SetFont(Font10());
  TextExtent e;
  MixedTextExtent(s, "@s^2_ > 0", e);
  EXPECT_EQ(e.Right, 17 + 40);
  EXPECT_TRUE(s.texts.empty());
}

TEST(Markup, OddSizesTruncate) {
  // S = 9: S3 = 6, H = 4, Q = 2.
  RecordingSurface s;
  FontSpec f = Font10();
  f.size = 9;
  s.SetFont(f);
  TextExtent e;
  MixedTextOut(s, 0, 10, e, true, "x_i^^2_");
  ASSERT_EQ(s.texts.size(), 3u);
  EXPECT_EQ(s.texts[1].y, 14);
  EXPECT_EQ(s.texts[1].font.size, 6);
  EXPECT_EQ(s.texts[2].y, 8);
  EXPECT_EQ(s.texts[2].font.size, 6);
  EXPECT_EQ(s.Font(), f);
}

TEST(Markup, SymbolMapping) {
  const std::pair<const char*, const char*> table[] = {
      {"a", "α"},
      {"b", "β"},
      {"B", "Β"},
      {"c", "χ"},
      {"d", "δ"},
      {"G", "Γ"},
      {"l", "λ"},
      {"L", "Λ"},
      {"m", "μ"},
      {"n", "ν"},
      {"p", "π"},
      {"q", "θ"},
      {"s", "σ"},
      {"å", "∑"},
      {"³", "≥"},
      {"¬", "←"},
      {"®", "→"},
      {"£", "≤"},
      {"S", "Σ"},
      {"W", "Ω"},
      {"e", "ε"},
      {"-", "−"},
      {"¹", "≠"},
      {"»", "≈"},
      {"¥", "∞"},
      {"Ö", "√"},
      {"ò", "∫"},
      // no Greek or mathematical meaning: unchanged
      {"1", "1"},
      {"(", "("},
      {" ", " "},
      {"ð", "ð"},
      {"€", "€"},
      {"", ""}};
  for (const auto& [from, to] : table) EXPECT_EQ(SymbolToUnicode(from), to) << from;
}

}  // namespace
}  // namespace vokt
