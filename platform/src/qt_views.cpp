// qt_views.cpp: painting and input of the form windows and picture boxes.
#include "qt_views.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

namespace platform {
namespace {

// The classic three-dimensional sunken edge, outer ring then inner ring.
void paintSunkenBorder(QPainter& painter, const QRect& box) {
  const QRect& outer = box;
  const QRect inner = outer.adjusted(1, 1, -1, -1);
  auto ring = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
  };
  ring(outer, QColor(128, 128, 128), QColor(255, 255, 255));
  ring(inner, QColor(64, 64, 64), QColor(212, 208, 200));
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
}

void PictureBoxView::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void PictureBoxView::mouseReleaseEvent(QMouseEvent* event) {
  // A click is a press and a release of the left button on the same box.
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click && onClick_) onClick_();
}

FormWindow::FormWindow(std::function<void()> onCloseRequest)
    : onCloseRequest_(std::move(onCloseRequest)) {}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The runtime decides: it unloads the form, which hides this window and frees it later.
  event->ignore();
  if (onCloseRequest_) onCloseRequest_();
}

}  // namespace platform
