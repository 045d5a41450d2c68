#include "ui/number_edit.h"

#include <QFocusEvent>

namespace vokt::ui {

NumberEdit::NumberEdit(QWidget* parent, int tag) : QLineEdit(parent), tag_(tag) {}

void NumberEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  emit Entered(this);
  if (text() == QLatin1String(kNumEditPlaceholder)) clear();
}

void NumberEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  emit Exited(this);
  if (text().isEmpty()) setText(QLatin1String(kNumEditPlaceholder));
}

}  // namespace vokt::ui
