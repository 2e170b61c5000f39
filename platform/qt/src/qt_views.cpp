// qt_views.cpp: painting and input of the form windows and picture boxes.
#include "qt_views.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <utility>

namespace platform {
namespace {

// The classic three-dimensional sunken edge, outer ring then inner ring.
void paintSunkenBorder(QPainter& painter, const QRect& box) {
  const QRect& outer = box;
  const QRect inner = outer.adjusted(1, 1, -1, -1);
  // One-pixel strips, not lines: at a device-pixel ratio of 2 or 1.5 a line straddles device
  // pixels and the ring slides half a pixel onto the picture.
  auto ring = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
  };
  ring(outer, QColor(128, 128, 128), QColor(255, 255, 255));
  ring(inner, QColor(64, 64, 64), QColor(212, 208, 200));
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

// The window manager's frame, as last seen around one of our windows: every window has the same.
QMargins knownFrame;

QRect centredClient(QSize client, const QMargins& frame) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QSize outer = client.grownBy(frame);
  const QPoint corner = screen.center() - QPoint(outer.width() / 2, outer.height() / 2);
  return {corner + QPoint(frame.left(), frame.top()), client};
}

}  // namespace

PictureBoxView::PictureBoxView(QWidget* parent, QPixmap picture, std::function<void()> onClick)
    : QWidget(parent), picture_(std::move(picture)), onClick_(std::move(onClick)) {
  setFocusPolicy(Qt::StrongFocus);
}

void PictureBoxView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  // Nearest neighbour: a 50-pixel tile on a screen of ratio 2 or 1.5 stays sharp.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QSize size = picture_.deviceIndependentSize().toSize();
  painter.drawPixmap(QRect(QPoint(kBorder, kBorder), size), picture_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  paintSunkenBorder(painter, rect());
  if (keyboardFocus_ && hasFocus()) paintFocusMark(painter, rect().adjusted(3, 3, -4, -4));
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

FormWindow::FormWindow(std::function<void()> onCloseRequest)
    : onCloseRequest_(std::move(onCloseRequest)) {}

void FormWindow::centre(QSize client) {
  setGeometry(centredClient(client, knownFrame));
  centring_ = true;
}

void FormWindow::paintEvent(QPaintEvent* event) {
  // The frame is only known once the window manager has taken the window, which is done by its
  // first paint: the first window of the run is set right then, the later ones start right.
  if (centring_) {
    centring_ = false;
    const QRect frame = frameGeometry();
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
    if (margins != knownFrame) {
      knownFrame = margins;
      setGeometry(centredClient(size(), knownFrame));
    }
  }
  QWidget::paintEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The runtime decides: it unloads the form, which hides this window and frees it later.
  event->ignore();
  if (onCloseRequest_) onCloseRequest_();
}

}  // namespace platform
