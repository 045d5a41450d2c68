#include "formula/qt/formula_view.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>
#include <numbers>

#include "distrib/catalogue.h"
#include "distrib/normal.h"

namespace vokt {
namespace {

struct Piece {
  QString text;
  ScriptPosition level = ScriptPosition::Normal;
  bool underline = false;
  friend bool operator==(const Piece&, const Piece&) = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
  return os << '"' << p.text.toStdString() << "\" level " << static_cast<int>(p.level)
            << (p.underline ? " underlined" : "");
}

ScriptPosition LevelOf(const QTextCharFormat& f) {
  switch (f.verticalAlignment()) {
    case QTextCharFormat::AlignSubScript:
      return ScriptPosition::Subscript;
    case QTextCharFormat::AlignSuperScript:
      return ScriptPosition::Superscript;
    default:
      return ScriptPosition::Normal;
  }
}

// The text of the whole document split where the format changes.
std::vector<Piece> Pieces(const FormulaView& edit) {
  std::vector<Piece> out;
  for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      Piece p{f.text(), LevelOf(f.charFormat()), f.charFormat().fontUnderline()};
      if (!out.empty() && out.back().level == p.level && out.back().underline == p.underline)
        out.back().text += p.text;
      else
        out.push_back(p);
    }
  }
  return out;
}

QStringList Lines(const FormulaView& edit) { return edit.toPlainText().split(u'\n'); }

using V = ScriptPosition;

TEST(FormulaView, MarkupBecomesFormatting) {
  struct Case {
    const char* markup;
    std::vector<Piece> pieces;
  } cases[] = {
      {"x^2_ + 1", {{"x"}, {"2", V::Superscript}, {" + 1"}}},
      {"N_1^", {{"N"}, {"1", V::Subscript}}},
      {"e^-@l_", {{"e"}, {"-λ", V::Superscript}}},
      {"$x and &y", {{"x", V::Normal, true}, {" and "}, {"y", V::Normal, true}}},
      // only two levels: a second raise stays superscript
      {"a^b^c__d", {{"a"}, {"bc", V::Superscript}, {"d", V::Subscript}}},
      {"@å Z_i^", {{"∑ Z"}, {"i", V::Subscript}}},
      {"P(X @£ x)@", {{"P(X ≤ x)"}}},
  };
  for (const Case& c : cases) {
    FormulaView edit;
    edit.AppendMarkup(c.markup);
    EXPECT_EQ(Pieces(edit), c.pieces) << c.markup;
  }
}

TEST(FormulaView, SymbolCharsetLastsOneCharacter) {
  FormulaView edit;
  const QString face = edit.DefaultAttributes().Name();
  edit.AppendMarkup("@a");
  EXPECT_EQ(edit.SelectionAttributes().Charset(), 0);
  EXPECT_EQ(edit.SelectionAttributes().Name(), face);
  edit.AppendMarkup("a");
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("αa"));
}

TEST(FormulaView, CtrlArrowsStepTheLevel) {
  FormulaView edit;
  auto press = [&](int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::ControlModifier);
    QCoreApplication::sendEvent(&edit, &e);
    return e.isAccepted();
  };
  EXPECT_TRUE(press(Qt::Key_Up));
  EXPECT_EQ(edit.SelectionAttributes().VerticalPosition(), V::Superscript);
  press(Qt::Key_Up);
  EXPECT_EQ(edit.SelectionAttributes().VerticalPosition(), V::Superscript);
  press(Qt::Key_Down);
  EXPECT_EQ(edit.SelectionAttributes().VerticalPosition(), V::Normal);
  press(Qt::Key_Down);
  press(Qt::Key_Down);
  EXPECT_EQ(edit.SelectionAttributes().VerticalPosition(), V::Subscript);
}

TEST(TextAttributes, PropertiesRoundTrip) {
  FormulaView edit;
  for (TextAttributes* a : {&edit.SelectionAttributes(), &edit.DefaultAttributes()}) {
    a->SetName("DejaVu Sans Mono and a face name far too long to keep");
    EXPECT_EQ(a->Name().size(), 31);
    a->SetSize(14);
    EXPECT_EQ(a->Size(), 14);
    a->SetStyle({true, false, true, false});
    EXPECT_EQ(a->Style(), (FontStyles{true, false, true, false}));
    a->SetCharset(2);
    EXPECT_EQ(a->Charset(), 2);
    a->SetColor(Qt::red);
    EXPECT_EQ(a->Color(), QColor(Qt::red));
    a->SetColor(QColor());
    EXPECT_EQ(a->Color(), edit.palette().color(QPalette::Text));
    a->SetPitch(FontPitch::Fixed);
    EXPECT_EQ(a->Pitch(), FontPitch::Fixed);
    a->SetVerticalPosition(V::Subscript);
    EXPECT_EQ(a->VerticalPosition(), V::Subscript);
    // One property at a time: the others are untouched.
    EXPECT_EQ(a->Size(), 14);
    EXPECT_EQ(a->Charset(), 2);
  }
  FormulaView other;
  other.SelectionAttributes().Assign(edit.SelectionAttributes());
  EXPECT_EQ(other.SelectionAttributes().Size(), 14);
  EXPECT_EQ(other.SelectionAttributes().VerticalPosition(), V::Subscript);
  other.SelectionAttributes().Assign(QFont("DejaVu Sans", 11));
  EXPECT_EQ(other.SelectionAttributes().Size(), 11);
  EXPECT_EQ(other.SelectionAttributes().VerticalPosition(), V::Normal);
  EXPECT_EQ(other.SelectionAttributes().Charset(), 0);
}

TEST(FormulasPage, StandardNormalAtZero) {
  NormalDistribution d(0, 1);
  FormulaView edit;
  FillFormulasPage(edit, d, 0);
  const QStringList lines = Lines(edit);
  const QStringList expected = {
      "",
      "f(x) = (2πσ2)-1/2 exp[-(x-μ)2/2σ2] ",
      "f(0) = 0.398942280401",
      "Expectation = μ = 0",
      "Variance = σ2 = 1",
      "Standard deviation = 1",
      "Moment generating function M(t) = exp(μt + σ2t2/2)",
      "",
      "If X1,...,Xn are independent and identically distributed, their sum (and their "
      "average) has approximately a normal distribution (Central Limit Theorem)",
      "",
  };
  EXPECT_EQ(lines, expected);
  // Exponents are typeset: "σ" normal then "2" raised in the variance line.
  const auto pieces = Pieces(edit);
  bool found = false;
  for (size_t i = 0; i + 1 < pieces.size(); ++i)
    if (pieces[i].text.endsWith("Variance = σ") && pieces[i + 1] == Piece{"2", V::Superscript})
      found = true;
  EXPECT_TRUE(found);
}

TEST(FormulasPage, MomentsThatDoNotExist) {
  // The Cauchy distribution (type 917) has neither mean nor variance.
  const auto d = CreateDistribution(917);
  ASSERT_NO_THROW(d->SetParameters(0, 1, 0));
  ASSERT_FALSE(d->HasMean());
  ASSERT_FALSE(d->HasVariance());
  FormulaView edit;
  FillFormulasPage(edit, *d, 1);
  const QStringList lines = Lines(edit);
  ASSERT_GE(lines.size(), 7);
  EXPECT_EQ(lines[2], "f(1) = 0.159154943092");
  EXPECT_EQ(lines[3], "Expectation does not exist");
  EXPECT_EQ(lines[4], "Variance  does not exist");  // label 880, a blank, text 2317
  EXPECT_EQ(lines[5], "");
  EXPECT_FALSE(edit.toPlainText().contains("Standard deviation"));
  EXPECT_EQ(lines[6], "Special case of the t-distribution (ν=1); mean and variance do not exist");
}

TEST(FormulasPage, IncompleteParametersShowOnlyTheTexts) {
  const auto c = CreateDistribution(917);  // the catalogue's: no parameters given yet
  Distribution& d = *c;
  FormulaView edit;
  FillFormulasPage(edit, d, 1);
  const QStringList lines = Lines(edit);
  ASSERT_EQ(lines.size(), 6);
  EXPECT_EQ(lines[0], "");
  EXPECT_TRUE(lines[1].startsWith("f(x) = [πβ]"));
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "");
  EXPECT_TRUE(lines[4].startsWith("Special case"));
}

TEST(FormulasPage, RefillingStartsFromScratch) {
  NormalDistribution d(0, 1);
  FormulaView edit;
  FillFormulasPage(edit, d, 0);
  const QString first = edit.toPlainText();
  edit.SelectionAttributes().SetVerticalPosition(V::Superscript);
  FillFormulasPage(edit, d, 0);
  EXPECT_EQ(edit.toPlainText(), first);
  EXPECT_EQ(Pieces(edit).front().level, V::Normal);
  FillFormulasPage(edit, nullptr, 0);
  EXPECT_TRUE(edit.toPlainText().isEmpty());
}

}  // namespace
}  // namespace vokt
