// The help window: the help text in a browser window that closes with Esc.
#pragma once

#include <QPointer>

class QWidget;

namespace vokt::ui {

// Shows the help window (made on first use, kept in window) and raises it.
void ShowHelp(QWidget* parent, QPointer<QWidget>& window);

}  // namespace vokt::ui
