// The About box: program name, version and what the program does.
#pragma once

#include <QDialog>

class QPushButton;

namespace vokt::ui {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);
  QPushButton* OKButton = nullptr;
};

// The program's icon (a bell curve with a shaded tail).
QIcon VoktIcon();

}  // namespace vokt::ui
