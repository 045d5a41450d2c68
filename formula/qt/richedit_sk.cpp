#include "formula/qt/richedit_sk.h"

#include <QKeyEvent>

namespace vokt {

TTextAttributesSK::TTextAttributesSK(TRichEditSK& owner, uint8_t kind)
    : owner_(owner), kind_(kind) {}

QColor TTextAttributesSK::Color() const { return {}; }
void TTextAttributesSK::SetColor(const QColor&) {}
QString TTextAttributesSK::Name() const { return {}; }
void TTextAttributesSK::SetName(const QString&) {}
uint8_t TTextAttributesSK::Charset() const { return 0; }
void TTextAttributesSK::SetCharset(uint8_t) {}
TFontStylesSK TTextAttributesSK::Style() const { return {}; }
void TTextAttributesSK::SetStyle(const TFontStylesSK&) {}
int TTextAttributesSK::Size() const { return 0; }
void TTextAttributesSK::SetSize(int) {}
TFontPitch TTextAttributesSK::Pitch() const { return TFontPitch::Default; }
void TTextAttributesSK::SetPitch(TFontPitch) {}
TVerticalPosition TTextAttributesSK::VerticalPosition() const { return TVerticalPosition::Normal; }
void TTextAttributesSK::SetVerticalPosition(TVerticalPosition) {}
void TTextAttributesSK::Assign(const TTextAttributesSK&) {}
void TTextAttributesSK::Assign(const QFont&) {}
void TTextAttributesSK::AssignTo(TTextAttributesSK&) const {}
QTextCharFormat TTextAttributesSK::Format() const { return {}; }
void TTextAttributesSK::Merge(const QTextCharFormat&) {}

TRichEditSK::TRichEditSK(QWidget* parent)
    : QTextEdit(parent),
      selAttributes_(*this, TTextAttributesSK::kSelection),
      defAttributes_(*this, TTextAttributesSK::kDefault) {
  setReadOnly(true);
}

TRichEditSK::~TRichEditSK() = default;

void TRichEditSK::AppendMarkup(const std::string&) {}
void TRichEditSK::AppendLine(const std::string&) {}
void TRichEditSK::ClearSK() { clear(); }
void TRichEditSK::RaiseStep() {}
void TRichEditSK::LowerStep() {}
void TRichEditSK::SetDefaultFormat(const QTextCharFormat& f) { defaultFormat_ = f; }
void TRichEditSK::keyPressEvent(QKeyEvent* event) { QTextEdit::keyPressEvent(event); }
void TRichEditSK::InsertPlain(const QString&) {}

bool ParametersComplete(const tDistribution&) { return false; }
void FillFormulasPage(TRichEditSK& edit, tDistribution*, Extended) { edit.ClearSK(); }

}  // namespace vokt
