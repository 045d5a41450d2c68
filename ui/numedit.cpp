#include "ui/numedit.h"

#include <QFocusEvent>

namespace vokt::ui {

tNumEdit::tNumEdit(QWidget* parent, int tag) : QLineEdit(parent), tag_(tag) {}

void tNumEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  emit Entered(this);
  if (text() == QLatin1String(kNumEditPlaceholder)) clear();
}

void tNumEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  emit Exited(this);
  if (text().isEmpty()) setText(QLatin1String(kNumEditPlaceholder));
}

}  // namespace vokt::ui
