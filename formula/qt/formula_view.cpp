// The formulas page.  Formats live in Qt's QTextCharFormat; the character
// set is kept as a user property of the format, and text inserted with the
// symbol set is mapped to the Unicode characters the Symbol font shows for
// it, exactly as the canvas renderer draws them.
#include "formula/qt/formula_view.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include "formula/markup.h"
#include "formula/qt/painter_surface.h"
#include "resources/strings.h"

namespace vokt {

namespace {

constexpr int kCharsetProperty = QTextFormat::UserProperty + 1;
constexpr int kMaxFaceLength = 31;

// Text ids relative to the type id, and the page's labels.
constexpr int kFormulaOffset = 1000;
constexpr int kMeanOffset = 1400;
constexpr int kVarianceOffset = 1500;
constexpr int kMgfOffset = 1600;
constexpr int kRemarkOffset = 1700;
constexpr int kRemark2Offset = 1800;
constexpr int kExpectationLabel = 879;
constexpr int kVarianceLabel = 880;
constexpr int kStdDevLabel = 881;
constexpr int kMgfLabel = 882;
constexpr int kDoesNotExist = 2317;

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Length in bytes of the UTF-8 character at text[i].
size_t CharLength(const std::string& text, size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  return i + n <= text.size() ? n : 1;
}

bool IsMarkup(char c) { return c == '$' || c == '&' || c == '@' || c == '^' || c == '_'; }

}  // namespace

// ---- TextAttributes ------------------------------------------------------

TextAttributes::TextAttributes(FormulaView& owner, uint8_t kind) : owner_(owner), kind_(kind) {}

QTextCharFormat TextAttributes::Format() const {
  return kind_ == kDefault ? owner_.DefaultFormat() : owner_.currentCharFormat();
}

void TextAttributes::Merge(const QTextCharFormat& change) {
  if (kind_ == kDefault) {
    QTextCharFormat f = owner_.DefaultFormat();
    f.merge(change);
    owner_.SetDefaultFormat(f);
  } else {
    owner_.mergeCurrentCharFormat(change);
  }
}

QColor TextAttributes::Color() const {
  const QTextCharFormat f = Format();
  if (f.hasProperty(QTextFormat::ForegroundBrush)) return f.foreground().color();
  return owner_.palette().color(QPalette::Text);
}

void TextAttributes::SetColor(const QColor& c) {
  if (!c.isValid() || c == owner_.palette().color(QPalette::Text)) {
    // The text colour of the palette is stored as "automatic": it follows the
    // theme.  QTextEdit has no per-property removal through merge, so the
    // format is rewritten without the brush.
    QTextCharFormat f = Format();
    f.clearForeground();
    if (kind_ == kDefault) {
      owner_.SetDefaultFormat(f);
    } else {
      QTextCursor cur = owner_.textCursor();
      if (cur.hasSelection()) cur.setCharFormat(f);
      owner_.setCurrentCharFormat(f);
    }
    return;
  }
  QTextCharFormat change;
  change.setForeground(c);
  Merge(change);
}

QString TextAttributes::Name() const {
  const QStringList families = Format().fontFamilies().toStringList();
  if (!families.isEmpty()) return families.front();
  return owner_.document()->defaultFont().family();
}

void TextAttributes::SetName(const QString& face) {
  QTextCharFormat change;
  change.setFontFamilies(QStringList{face.left(kMaxFaceLength)});
  Merge(change);
}

uint8_t TextAttributes::Charset() const {
  return static_cast<uint8_t>(Format().intProperty(kCharsetProperty));
}

void TextAttributes::SetCharset(uint8_t charset) {
  QTextCharFormat change;
  change.setProperty(kCharsetProperty, static_cast<int>(charset));
  Merge(change);
}

FontStyles TextAttributes::Style() const {
  const QTextCharFormat f = Format();
  FontStyles s;
  s.bold = f.fontWeight() >= QFont::Bold;
  s.italic = f.fontItalic();
  s.underline = f.fontUnderline();
  s.strikeOut = f.fontStrikeOut();
  return s;
}

void TextAttributes::SetStyle(const FontStyles& style) {
  QTextCharFormat change;
  change.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
  change.setFontItalic(style.italic);
  change.setFontUnderline(style.underline);
  change.setFontStrikeOut(style.strikeOut);
  Merge(change);
}

int TextAttributes::Size() const {
  const qreal pt = Format().fontPointSize();
  if (pt > 0) return qRound(pt);
  return owner_.document()->defaultFont().pointSize();
}

void TextAttributes::SetSize(int points) {
  if (points <= 0) return;
  QTextCharFormat change;
  change.setFontPointSize(points);
  Merge(change);
}

FontPitch TextAttributes::Pitch() const {
  const QTextCharFormat f = Format();
  if (!f.hasProperty(QTextFormat::FontFixedPitch)) return FontPitch::Default;
  return f.fontFixedPitch() ? FontPitch::Fixed : FontPitch::Variable;
}

void TextAttributes::SetPitch(FontPitch pitch) {
  if (pitch == FontPitch::Default) {
    QTextCharFormat f = Format();
    f.clearProperty(QTextFormat::FontFixedPitch);
    if (kind_ == kDefault)
      owner_.SetDefaultFormat(f);
    else
      owner_.setCurrentCharFormat(f);
    return;
  }
  QTextCharFormat change;
  change.setFontFixedPitch(pitch == FontPitch::Fixed);
  Merge(change);
}

ScriptPosition TextAttributes::VerticalPosition() const {
  switch (Format().verticalAlignment()) {
    case QTextCharFormat::AlignSubScript:
      return ScriptPosition::Subscript;
    case QTextCharFormat::AlignSuperScript:
      return ScriptPosition::Superscript;
    default:
      return ScriptPosition::Normal;
  }
}

void TextAttributes::SetVerticalPosition(ScriptPosition v) {
  QTextCharFormat change;
  change.setVerticalAlignment(v == ScriptPosition::Subscript     ? QTextCharFormat::AlignSubScript
                              : v == ScriptPosition::Superscript ? QTextCharFormat::AlignSuperScript
                                                                 : QTextCharFormat::AlignNormal);
  Merge(change);
}

void TextAttributes::Assign(const TextAttributes& source) {
  if (&source == this) return;
  SetColor(source.Color());
  SetName(source.Name());
  SetCharset(source.Charset());
  SetStyle(source.Style());
  SetSize(source.Size());
  SetPitch(source.Pitch());
  SetVerticalPosition(source.VerticalPosition());
}

void TextAttributes::Assign(const QFont& font) {
  SetColor(QColor());
  SetName(font.family());
  SetCharset(0);
  SetStyle({font.bold(), font.italic(), font.underline(), font.strikeOut()});
  if (font.pointSize() > 0) SetSize(font.pointSize());
  SetPitch(font.fixedPitch() ? FontPitch::Fixed : FontPitch::Variable);
  SetVerticalPosition(ScriptPosition::Normal);
}

void TextAttributes::AssignTo(TextAttributes& destination) const { destination.Assign(*this); }

// ---- FormulaView ------------------------------------------------------------

FormulaView::FormulaView(QWidget* parent)
    : QTextEdit(parent),
      selAttributes_(*this, TextAttributes::kSelection),
      defAttributes_(*this, TextAttributes::kDefault) {
  InstallFontSubstitutes();
  setReadOnly(true);
  setAcceptRichText(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setLineWrapMode(QTextEdit::WidgetWidth);
  // The page takes the colour of the window behind it, not of an edit box.
  QPalette pal = palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    pal.setColor(group, QPalette::Base, pal.color(group, QPalette::Window));
  setPalette(pal);
  // The window's font: Lucida Sans Unicode, 12 pixels (9 points on a
  // 96-dpi screen).
  QFont f(QStringLiteral("Lucida Sans Unicode"));
  f.setPointSize(9);
  document()->setDefaultFont(f);
  QTextCharFormat def;
  def.setFontFamilies(QStringList{f.family()});
  def.setFontPointSize(9);
  def.setProperty(kCharsetProperty, 0);
  defaultFormat_ = def;
  setCurrentCharFormat(defaultFormat_);
}

FormulaView::~FormulaView() = default;

void FormulaView::SetDefaultFormat(const QTextCharFormat& f) {
  defaultFormat_ = f;
  QFont font = document()->defaultFont();
  const QStringList families = f.fontFamilies().toStringList();
  if (!families.isEmpty()) font.setFamilies(families);
  if (f.fontPointSize() > 0) font.setPointSizeF(f.fontPointSize());
  document()->setDefaultFont(font);
}

void FormulaView::InsertPlain(const QString& text) {
  if (text.isEmpty()) return;
  QTextCharFormat fmt = currentCharFormat();
  QString shown = text;
  if (fmt.intProperty(kCharsetProperty) == TextAttributes::kSymbolCharset) {
    shown = FromUtf8(SymbolToUnicode(text.toStdString()));
  }
  QTextCursor cur = textCursor();
  cur.insertText(shown, fmt);
  setTextCursor(cur);
  setCurrentCharFormat(fmt);
}

void FormulaView::RaiseStep() {
  switch (selAttributes_.VerticalPosition()) {
    case ScriptPosition::Normal:
      selAttributes_.SetVerticalPosition(ScriptPosition::Superscript);
      break;
    case ScriptPosition::Subscript:
      selAttributes_.SetVerticalPosition(ScriptPosition::Normal);
      break;
    case ScriptPosition::Superscript:
      break;
  }
}

void FormulaView::LowerStep() {
  switch (selAttributes_.VerticalPosition()) {
    case ScriptPosition::Normal:
      selAttributes_.SetVerticalPosition(ScriptPosition::Subscript);
      break;
    case ScriptPosition::Superscript:
      selAttributes_.SetVerticalPosition(ScriptPosition::Normal);
      break;
    case ScriptPosition::Subscript:
      break;
  }
}

void FormulaView::AppendMarkup(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    size_t j = i;
    while (j < n && !IsMarkup(text[j])) ++j;
    if (j > i) InsertPlain(FromUtf8(text.substr(i, j - i)));
    if (j >= n) break;
    const char mark = text[j];
    i = j + 1;
    switch (mark) {
      case '$':
      case '&': {
        // Underlined here; the canvas draws a bar over the letter instead.
        FontStyles style = selAttributes_.Style();
        style.underline = true;
        selAttributes_.SetStyle(style);
        if (i < n) {
          const size_t len = CharLength(text, i);
          InsertPlain(FromUtf8(text.substr(i, len)));
          i += len;
        }
        style.underline = false;
        selAttributes_.SetStyle(style);
        break;
      }
      case '@':
        // The Symbol character set maps the letter to its Greek or
        // mathematical sign, drawn in the current face.
        selAttributes_.SetCharset(TextAttributes::kSymbolCharset);
        if (i < n) {
          const size_t len = CharLength(text, i);
          InsertPlain(FromUtf8(text.substr(i, len)));
          i += len;
        }
        selAttributes_.SetName(defAttributes_.Name());
        selAttributes_.SetCharset(defAttributes_.Charset());
        break;
      case '^':
        RaiseStep();
        break;
      case '_':
        LowerStep();
        break;
    }
  }
}

void FormulaView::AppendLine(const std::string& text) {
  AppendMarkup(text);
  const QTextCharFormat fmt = currentCharFormat();
  QTextCursor cur = textCursor();
  cur.insertBlock(QTextBlockFormat(), fmt);
  setTextCursor(cur);
  setCurrentCharFormat(fmt);
}

void FormulaView::ClearText() {
  clear();
  setCurrentCharFormat(defaultFormat_);
}

void FormulaView::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    if (event->key() == Qt::Key_Up) {
      RaiseStep();
      event->accept();
      return;
    }
    if (event->key() == Qt::Key_Down) {
      LowerStep();
      event->accept();
      return;
    }
  }
  QTextEdit::keyPressEvent(event);
}

// ---- The page ----------------------------------------------------------------

bool ParametersComplete(const Distribution& d) {
  for (int i = 1; i <= d.ParCount() && i <= 3; ++i) {
    Parameter r;
    d.GetParameter(i, r);
    if (r.Unset) return false;
  }
  return true;
}

void FillFormulasPage(FormulaView& edit, Distribution* d, Real x) {
  edit.ClearText();
  if (!d) return;
  const int t = d->NameId();
  const bool complete = ParametersComplete(*d);
  edit.AppendLine("");
  edit.AppendLine(LoadString(t + kFormulaOffset));
  if (!complete) {
    edit.AppendLine("");
  } else {
    const std::string xs = FormatNumber(x);
    if (d->IsDiscrete())
      edit.AppendLine("P(X = " + xs + ") = " + FormatNumber(d->PointProb(x)));
    else
      edit.AppendLine("f(" + xs + ") = " + FormatNumber(d->Density(x)));
    if (d->HasMean())
      edit.AppendLine(LoadString(kExpectationLabel) + "= " + LoadString(t + kMeanOffset) + " = " +
                      FormatNumber(d->Mean()));
    else
      edit.AppendLine(LoadString(kExpectationLabel) + LoadString(kDoesNotExist));
    if (d->HasVariance()) {
      edit.AppendLine(LoadString(kVarianceLabel) + "= " + LoadString(t + kVarianceOffset) + " = " +
                      FormatNumber(d->Variance()));
      edit.AppendLine(LoadString(kStdDevLabel) + "= " + FormatNumber(d->StdDev()));
    } else {
      edit.AppendLine(LoadString(kVarianceLabel) + " " + LoadString(kDoesNotExist));
    }
  }
  const std::string mgf = LoadString(t + kMgfOffset);
  if (!mgf.empty()) edit.AppendLine(LoadString(kMgfLabel) + mgf);
  edit.AppendLine("");
  const std::string remark = LoadString(t + kRemarkOffset);
  if (!remark.empty()) edit.AppendLine(remark);
  const std::string remark2 = LoadString(t + kRemark2Offset);
  if (!remark2.empty()) edit.AppendLine(remark2);
  edit.verticalScrollBar()->setValue(0);
}

}  // namespace vokt
