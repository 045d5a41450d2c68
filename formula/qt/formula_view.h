// The formulas page: a read-only rich-text view that turns formula markup
// into character formatting as text is appended ("@" Greek letters and signs,
// "^" and "_" superscript and subscript, "$" underline), and the function
// that writes the page for a distribution.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <QTextEdit>
#include <cstdint>
#include <string>

#include "distrib/distribution.h"

namespace vokt {

class FormulaView;

enum class ScriptPosition : uint8_t { Normal, Subscript, Superscript };
enum class FontPitch : uint8_t { Default, Variable, Fixed };

struct FontStyles {
  bool bold = false, italic = false, underline = false, strikeOut = false;
  friend bool operator==(const FontStyles&, const FontStyles&) = default;
};

// Reads and writes the character format of the selection (Kind 0: the
// attributes of the selected text or of text typed at the caret) or the
// default format of the control (Kind 1).  A write changes just the one
// property.  Charset 2 is the symbol set: characters inserted with it are
// mapped as the markup renderer maps characters after "@".
class TextAttributes {
 public:
  static constexpr uint8_t kSelection = 0;
  static constexpr uint8_t kDefault = 1;
  static constexpr uint8_t kSymbolCharset = 2;

  TextAttributes(FormulaView& owner, uint8_t kind);

  FormulaView& Owner() const { return owner_; }
  uint8_t Kind() const { return kind_; }

  QColor Color() const;
  void SetColor(const QColor& c);  // an invalid colour means the text colour of the palette
  QString Name() const;
  void SetName(const QString& face);  // at most 31 characters are kept
  uint8_t Charset() const;
  void SetCharset(uint8_t charset);
  FontStyles Style() const;
  void SetStyle(const FontStyles& style);
  int Size() const;  // points
  void SetSize(int points);
  FontPitch Pitch() const;
  void SetPitch(FontPitch pitch);
  ScriptPosition VerticalPosition() const;
  void SetVerticalPosition(ScriptPosition v);

  // Copies colour, name, charset, style, size, pitch and vertical position.
  void Assign(const TextAttributes& source);
  // Copies the first six from a font (colour: the palette's text colour);
  // the vertical position becomes normal.
  void Assign(const QFont& font);
  void AssignTo(TextAttributes& destination) const;

  QTextCharFormat Format() const;

 private:
  void Merge(const QTextCharFormat& change);

  FormulaView& owner_;
  uint8_t kind_;
};

// Read-only, with a vertical scroll bar and the window's background.  Text
// starts in "Lucida Sans Unicode" at 9 points (12 pixels on a 96-dpi screen);
// another starting font is set with DefaultAttributes().Assign(font), not with
// setFont, since every inserted character carries its own format.
class FormulaView : public QTextEdit {
  Q_OBJECT

 public:
  explicit FormulaView(QWidget* parent = nullptr);
  ~FormulaView() override;

  TextAttributes& SelectionAttributes() { return selAttributes_; }
  TextAttributes& DefaultAttributes() { return defAttributes_; }

  // Inserts UTF-8 markup at the caret, turning markup into formatting.
  void AppendMarkup(const std::string& text);
  // AppendMarkup followed by a line break.
  void AppendLine(const std::string& text);
  // Removes all text and returns the caret's format to the default one.
  void ClearText();

  // The level steps of "^" and "_" on the selection attributes (also
  // Ctrl+Up and Ctrl+Down).
  void RaiseStep();
  void LowerStep();

  // The default character format (Kind 1 attributes).
  const QTextCharFormat& DefaultFormat() const { return defaultFormat_; }
  void SetDefaultFormat(const QTextCharFormat& f);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void InsertPlain(const QString& text);

  QTextCharFormat defaultFormat_;
  TextAttributes selAttributes_;
  TextAttributes defAttributes_;
};

// True when d has no parameter left unset (1..ParCount).
bool ParametersComplete(const Distribution& d);

// Rebuilds the formulas page for d at x: the formula, the density or
// probability at x, expectation, variance, standard deviation, moment
// generating function and remark, from the string table.  With d null the
// page is only cleared.  Values are formatted with FormatNumber.  Errors of
// the distribution (a density that cannot be computed) propagate to the
// caller after the lines before them were written.
void FillFormulasPage(FormulaView& edit, Distribution* d, Real x);
inline void FillFormulasPage(FormulaView& edit, Distribution& d, Real x) {
  FillFormulasPage(edit, &d, x);
}

}  // namespace vokt
