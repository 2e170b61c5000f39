// floor.cpp: the least Qt costs for the main window: the same window and pictures, no game.
#include <qdrawutil.h>

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <functional>
#include <map>
#include <string_view>

#include "forms/forms.h"
#include "platform/twips.h"

namespace {

QString text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The main window's layout in pixels, from the game's own design table.
QRect pixels(const platform::ControlDesign& row) {
  using platform::toPixels;
  return {toPixels(row.left), toPixels(row.top), toPixels(row.width), toPixels(row.height)};
}

// A picture with a sunken two-pixel edge; it reports a left click on release.
class Box final : public QWidget {
 public:
  Box(QWidget* parent, const QPixmap& picture) : QWidget(parent), picture_(picture) {}

  std::function<void()> onClick;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawPixmap(2, 2, picture_);
    qDrawWinPanel(&painter, rect(), palette(), true);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick) {
      onClick();
    }
  }

 private:
  QPixmap picture_;
};

// Decoded once, as the game does, and shared by every window, by the design's file names.
struct Pictures {
  QIcon icon{QPixmap(QStringLiteral(":/pictures/") + text(forms::kVorekDesign.icon))};
  std::map<std::string_view, QPixmap> byName;
  Pictures() {
    for (const auto& row : forms::kVorekDesign.controls) {
      if (!row.picture.empty())
        byName[row.picture] = QPixmap(QStringLiteral(":/pictures/") + text(row.picture));
    }
  }
};

QWidget* build(const Pictures& pictures);

// Brasser's cost as the game pays it: the window goes and a new one is built and shown.
void rebuild(QWidget* old, const Pictures& pictures) {
  old->hide();
  old->deleteLater();
  build(pictures)->show();
}

QWidget* build(const Pictures& pictures) {
  const platform::FormDesign& design = forms::kVorekDesign;
  auto* window = new QWidget;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(text(design.caption));
  window->setWindowIcon(pictures.icon);
  Box* p0 = nullptr;
  Box* p20 = nullptr;
  for (const auto& row : design.controls) {
    if (row.kind == platform::ControlKind::CommandButton) {
      auto* button = new QPushButton(text(row.caption), window);
      button->setGeometry(pixels(row));
      if (row.name == "Command1")
        QObject::connect(button, &QPushButton::clicked, window,
                         [window, &pictures] { rebuild(window, pictures); });
      continue;
    }
    auto* box = new Box(window, pictures.byName.at(row.picture));
    box->setGeometry(pixels(row));
    if (row.name == "p0") p0 = box;
    if (row.name == "p20") p20 = box;
  }
  // p20 and the blank change places, as the parking move does.
  p20->onClick = [p20, p0] {
    const QRect there = p0->geometry();
    p0->setGeometry(p20->geometry());
    p20->setGeometry(there);
  };
  const QSize client(platform::toPixels(design.clientWidth),
                     platform::toPixels(design.clientHeight));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, client, screen));
  return window;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  const Pictures pictures;
  build(pictures)->show();
  return QApplication::exec();
}
