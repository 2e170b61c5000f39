// qt_views.h: the widgets that show a loaded form: its window and its picture boxes.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/qt_app.h"

namespace platform {

// The runtime's texts are UTF-8.
inline QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The compiled-in resource of a design's picture, by its file name.
inline QString pictureResource(std::string_view name) {
  return QLatin1String(kPictureResourcePrefix) + qs(name);
}

// A picture box: a sunken edge and its picture, unscaled, at the inside top-left. Painted by
// hand so that a high-DPI screen scales the pixel art without smoothing it.
class PictureBoxView final : public QWidget {
 public:
  PictureBoxView(QWidget* parent, QPixmap picture, int edge, std::function<void()> onClick);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QPixmap picture_;
  int edge_;  // the sunken edge's width, in pixels
  std::function<void()> onClick_;
  bool pressed_ = false;
  bool keyboardFocus_ = false;  // the focus came by Tab: its mark is shown
};

// A form's top-level window. Closing it through the title bar asks the runtime, which unloads
// the form; the window itself never closes on its own.
class FormWindow final : public QWidget {
 public:
  explicit FormWindow(std::function<void()> onCloseRequest);

  // Gives the window this client size and centres it, frame included, on the primary screen.
  void centre(QSize client);

  // The control widgets, by their row in the design.
  std::vector<QWidget*> controls;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void()> onCloseRequest_;
  bool centring_ = false;
};

}  // namespace platform
