// A widget whose painting is a handler given to it (the graphs).  It paints
// straight onto the widget, so a scaled screen gets a sharp picture.
#pragma once

#include <QWidget>
#include <functional>

namespace vokt::ui {

class PaintBox : public QWidget {
  Q_OBJECT
 public:
  using Handler = std::function<void(QPainter&, const QRect&)>;
  explicit PaintBox(QWidget* parent, Handler onPaint);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Handler onPaint_;
};

}  // namespace vokt::ui
