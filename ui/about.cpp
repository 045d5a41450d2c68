#include "ui/about.h"

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace vokt::ui {

QIcon VoktIcon() { return QIcon(QStringLiteral(":/icons/vokt.svg")); }

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About VOKT"));
  setFixedSize(392, 250);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);
  panel->setGeometry(8, 8, 376, 196);
  auto* inner = new QFrame(panel);
  inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  inner->setGeometry(6, 6, 364, 184);

  auto* icon = new QLabel(inner);
  icon->setPixmap(VoktIcon().pixmap(32, 32));
  icon->setGeometry(12, 12, 32, 32);

  auto label = [&](const QString& text, int px, int y, int h) {
    auto* l = new QLabel(text, inner);
    QFont f(QStringLiteral("Lucida Sans Unicode"));
    f.setPixelSize(px);
    l->setFont(f);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setWordWrap(true);
    l->setGeometry(52, y, 300, h);
    return l;
  };
  label(QStringLiteral("VOKT"), 19, 10, 26);
  label(QStringLiteral("Version 3.2"), 13, 38, 18);
  label(QStringLiteral("Computes probabilities, quantiles and random samples of 32 probability "
                       "distributions, and draws their density and distribution functions. "
                       "Newer versions are published with the project's source code."),
        12, 62, 76);
  auto* bottom = label(QStringLiteral("All arithmetic in 80-bit extended precision."), 11, 150, 30);
  bottom->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setDefault(true);
  OKButton->setGeometry((392 - 75) / 2, 214, 75, 26);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->availableGeometry();
    move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
  }
}

}  // namespace vokt::ui
