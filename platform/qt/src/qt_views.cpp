// qt_views.cpp: painting and input of the form windows and picture boxes.
#include "qt_views.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <utility>

#include "platform/layout.h"

namespace platform {
namespace {

// The classic three-dimensional sunken edge: the outer ring half of it, the inner ring the rest.
void paintSunkenEdge(QPainter& painter, const QRect& box, int edge) {
  // Strips, not lines: at a device-pixel ratio of 2 or 1.5 a line straddles device pixels and
  // the ring slides half a pixel onto the picture.
  auto ring = [&painter](const QRect& r, int width, const QColor& topLeft,
                         const QColor& bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), width), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), width, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), bottomRight);
    painter.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), bottomRight);
  };
  const int outer = edge / 2;
  ring(box, outer, QColor(128, 128, 128), QColor(255, 255, 255));
  ring(box.adjusted(outer, outer, -outer, -outer), edge - outer, QColor(64, 64, 64),
       QColor(212, 208, 200));
}

// The keyboard's focus on a picture: a dotted ring of black and white pixels in turn, which
// shows on any picture.
void paintFocusMark(QPainter& painter, const QRect& ring) {
  for (const auto& [colour, offset] : {std::pair{Qt::white, 0.0}, std::pair{Qt::black, 1.0}}) {
    QPen pen(colour, 1, Qt::CustomDashLine);
    pen.setDashPattern({1.0, 1.0});
    pen.setDashOffset(offset);
    painter.setPen(pen);
    painter.drawRect(ring);
  }
}

QRect centredClient(QSize client, const QMargins& frame) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QSize outer = client.grownBy(frame);
  const PixelRect at = centred({outer.width(), outer.height()},
                               {screen.left(), screen.top(), screen.width(), screen.height()});
  return {QPoint(at.left + frame.left(), at.top + frame.top()), client};
}

}  // namespace

PictureBoxView::PictureBoxView(QWidget* parent, QPixmap picture, int edge,
                               std::function<void()> onClick)
    : QWidget(parent), picture_(std::move(picture)), edge_(edge), onClick_(std::move(onClick)) {}

void PictureBoxView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  // Nearest neighbour: a 50-pixel tile on a screen of ratio 2 or 1.5 stays sharp.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QSize size = picture_.deviceIndependentSize().toSize();
  painter.drawPixmap(QRect(QPoint(edge_, edge_), size), picture_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  paintSunkenEdge(painter, rect(), edge_);
  if (keyboardFocus_ && hasFocus()) {
    const int in = edge_ + 1;
    paintFocusMark(painter, rect().adjusted(in, in, -in - 1, -in - 1));
  }
}

void PictureBoxView::focusInEvent(QFocusEvent* event) {
  // As on the desktop, the mark is for the keyboard's player; a click on a piece shows none.
  const Qt::FocusReason reason = event->reason();
  keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
  update();
}

void PictureBoxView::focusOutEvent(QFocusEvent*) {
  keyboardFocus_ = false;
  update();
}

void PictureBoxView::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void PictureBoxView::mouseReleaseEvent(QMouseEvent* event) {
  // A click is a press of the left button on the box and its release on it, as for a button:
  // a drag off the box before the release cancels it. On X11 the release stands where the
  // player let go however late it is read (x11_release.h).
  const bool click = pressed_ && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click && onClick_) onClick_();
}

FormWindow::FormWindow(std::function<void()> onCloseRequest, QMargins& knownFrame)
    : onCloseRequest_(std::move(onCloseRequest)), knownFrame_(knownFrame) {}

void FormWindow::centre(QSize client) {
  setGeometry(centredClient(client, knownFrame_));
  centring_ = true;
}

void FormWindow::showEvent(QShowEvent* event) {
  if (QWindow* native = windowHandle(); native && !watching_) {
    native->installEventFilter(this);
    watching_ = true;
  }
  QWidget::showEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  // The frame is only known once the window manager has taken the window, which it has when it
  // first exposes it, before anything is painted: the first window of the run is set right
  // then, the later ones start right.
  if (centring_ && watched == windowHandle() && event->type() == QEvent::Expose &&
      windowHandle()->isExposed()) {
    centring_ = false;
    const QRect frame = frameGeometry();
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
    if (margins != knownFrame_) {
      knownFrame_ = margins;
      setGeometry(centredClient(size(), knownFrame_));
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The runtime decides: it unloads the form, which hides this window and frees it later.
  event->ignore();
  if (onCloseRequest_) onCloseRequest_();
}

}  // namespace platform
