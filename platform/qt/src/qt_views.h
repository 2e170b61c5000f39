// qt_views.h: the widgets that show a loaded form: its window and its picture boxes.
#pragma once

#include <QMargins>
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
// the form; the window itself never closes on its own. `knownFrame` is the window manager's
// frame as last seen around one of the host's windows (every window has the same): the window
// reads it to centre itself, and keeps it up to date.
class FormWindow final : public QWidget {
 public:
  FormWindow(std::function<void()> onCloseRequest, QMargins& knownFrame);

  // Gives the window this client size and centres it, frame included, on the primary screen,
  // again once the window manager has framed it if the frame is not the one known.
  void centre(QSize client);

  // The control widgets, by their row in the design, and how each shows a new caption (none for
  // a picture box).
  std::vector<QWidget*> controls;
  std::vector<std::function<void(const QString&)>> setCaption;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> onCloseRequest_;
  QMargins& knownFrame_;
  bool centring_ = false;
  bool watching_ = false;  // the native window's events pass through eventFilter
};

}  // namespace platform
