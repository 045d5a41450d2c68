// Tooltips with formula markup.  Qt shows tooltips from QEvent::ToolTip; an
// application-wide filter looks at the hint each event would show and takes
// over those containing markup, which Qt's plain label would show with the
// markup characters in them.
#include "formula/qt/hint_window.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <algorithm>

#include "formula/markup.h"
#include "formula/qt/painter_surface.h"

namespace vokt {

namespace {

// How long a hint stays up when the mouse rests (Qt's own tooltips use
// about ten seconds for short texts).
constexpr int kHintMilliseconds = 10000;

std::string ToUtf8(const QString& s) { return s.toStdString(); }

// The item view whose viewport w is, if any.
QAbstractItemView* ViewOfViewport(QObject* w) {
  auto* view = qobject_cast<QAbstractItemView*>(w ? w->parent() : nullptr);
  return view && view->viewport() == w ? view : nullptr;
}

QPointer<HintWindow> g_window;

class MixedHintFilter : public QObject {
 public:
  explicit MixedHintFilter(QObject* parent) : QObject(parent) {}

 protected:
  bool eventFilter(QObject* obj, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ToolTip:
        return ToolTip(obj, static_cast<QHelpEvent*>(event));
      case QEvent::MouseMove:
        // Leaving the cell whose hint is up hides it; resting on the next
        // cell brings that cell's hint.
        if (Visible() && obj == cellView_.data()) {
          const QAbstractItemView* view = ViewOfViewport(obj);
          const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
          if (!view || view->indexAt(p) != QModelIndex(cellIndex_)) g_window->HideHint();
        }
        break;
      case QEvent::Leave:
        if (Visible() && obj == g_window->Owner()) g_window->HideHint();
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::Wheel:
      case QEvent::WindowDeactivate:
      case QEvent::FocusOut:
        if (Visible() && obj->isWidgetType() && obj != g_window.data()) g_window->HideHint();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  static bool Visible() { return g_window && g_window->isVisible(); }

  bool ToolTip(QObject* obj, QHelpEvent* he) {
    if (!obj->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(obj);
    QString hint;
    QModelIndex index;
    if (QAbstractItemView* view = ViewOfViewport(obj)) {
      // The grid's hint belongs to the cell under the mouse.
      index = view->indexAt(he->pos());
      if (index.isValid()) hint = index.data(Qt::ToolTipRole).toString();
    } else {
      hint = widget->toolTip();
    }
    if (!HintWindow::HasMarkup(hint)) {
      // Plain hints (or none) are Qt's; ours gives way.
      if (Visible()) g_window->HideHint();
      return false;
    }
    QToolTip::hideText();
    HintWindow* w = MixedFontHintWindow();
    cellView_ = index.isValid() ? widget : nullptr;
    cellIndex_ = index;
    w->ShowHint(he->globalPos(), hint, widget);
    return true;
  }

  QPointer<QWidget> cellView_;
  QPersistentModelIndex cellIndex_;
};

QPointer<MixedHintFilter> g_filter;

void DeleteHintWindow() { delete g_window.data(); }

}  // namespace

HintWindow::HintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::BypassGraphicsProxyWidget | Qt::FramelessWindowHint) {
  InstallFontSubstitutes();
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setPalette(QToolTip::palette());
  setFont(QToolTip::font());
  hideTimer_.setSingleShot(true);
  connect(&hideTimer_, &QTimer::timeout, this, &HintWindow::HideHint);
}

void HintWindow::ShowHint(const QPoint& globalPos, const QString& caption, QWidget* owner) {
  caption_ = caption;
  owner_ = owner;
  const QFontMetrics fm(font());
  const std::string text = PaddedText(ToUtf8(caption));
  // As wide as the text without markup characters in the normal font; the
  // Greek letters and reduced indices are not measured separately.
  const int width = fm.horizontalAdvance(QString::fromStdString(PlainText(text)));
  // Superscripts reach above the line and subscripts below it: room for
  // both, so that "@s^2_ > 0" keeps the top of its 2.
  int above = 0, below = 0;
  LevelReach(text, ToFontSpec(font()).size, above, below);
  textTop_ = 1 + above;
  const int height = fm.height() + 2 + above + below;
  resize(width, height);
  // Placed like Qt's tooltips: below and right of the mouse, kept on screen.
  QPoint pos = globalPos + QPoint(2, 16);
  if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
    const QRect avail = screen->availableGeometry();
    if (pos.x() + width > avail.right()) pos.setX(avail.right() - width);
    if (pos.y() + height > avail.bottom()) pos.setY(globalPos.y() - height - 4);
    if (pos.x() < avail.left()) pos.setX(avail.left());
  }
  move(pos);
  show();
  update();
  hideTimer_.start(kHintMilliseconds);
}

void HintWindow::HideHint() {
  hideTimer_.stop();
  hide();
}

std::string HintWindow::PaddedText(const std::string& caption) { return " " + caption + "   "; }

std::string HintWindow::PlainText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '$' && c != '@' && c != '^' && c != '_') out += c;
  return out;
}

bool HintWindow::HasMarkup(const QString& hint) {
  for (QChar c : hint)
    if (c == u'$' || c == u'@' || c == u'^' || c == u'_') return true;
  return false;
}

void HintWindow::LevelReach(const std::string& text, double size, int& above, int& below) {
  // The steps of the markup renderer: half the size between levels 0 and
  // -1, a quarter for every other step; reduced glyphs are no taller than
  // the line's.
  const int S = static_cast<int>(size);
  const int H = S / 2, Q = H / 2;
  int level = 0, y = 0;
  above = below = 0;
  for (char c : text) {
    if (c == '_') {
      --level;
      y += level == -1 ? H : Q;
    } else if (c == '^') {
      ++level;
      y -= level == 0 ? H : Q;
    } else {
      continue;
    }
    above = std::max(above, -y);
    below = std::max(below, y);
  }
}

void HintWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionFrame frame;
  frame.initFrom(this);
  style()->drawPrimitive(QStyle::PE_PanelTipLabel, &frame, &painter, this);
  const std::string text = PaddedText(ToUtf8(caption_));
  QPalette pal = palette();
  pal.setColor(QPalette::Active, QPalette::WindowText, pal.color(QPalette::ToolTipText));
  QPainterSurface surface(painter, rect(), pal);
  surface.SetFont(ToFontSpec(font()));
  if (HasMarkup(caption_)) {
    TextExtent extent;
    MixedTextOut(surface, 1, textTop_, extent, true, text);
  } else {
    surface.TextOut(1, textTop_, text);
  }
}

void InstallMixedFontHints(QApplication& app) {
  InstallFontSubstitutes();
  if (g_filter) return;
  g_filter = new MixedHintFilter(&app);
  app.installEventFilter(g_filter);
  qAddPostRoutine(DeleteHintWindow);
}

HintWindow* MixedFontHintWindow() {
  if (!g_window) g_window = new HintWindow(nullptr);
  return g_window;
}

}  // namespace vokt
