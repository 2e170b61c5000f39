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
#include <array>
#include <functional>

namespace {

// The main window's layout in pixels: a 5 x 4 grid on a 53.33-pixel pitch, the parking cell,
// and the three buttons on the right.
constexpr QSize kClient{323, 213};
constexpr int kBox = 54;
constexpr QPoint kParking{267, 160};

int onPitch(int cell) { return static_cast<int>(cell * 800 / 15.0 + 0.5); }

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

// Decoded once, as the game does, and shared by every window: p0's blank first, then p1 to p20.
struct Pictures {
  QIcon icon{QPixmap(QStringLiteral(":/pictures/vorek.ico"))};
  std::array<QPixmap, 21> boxes;
  Pictures() {
    boxes[0] = QPixmap(QStringLiteral(":/pictures/blank.bmp"));
    for (int k = 1; k <= 20; ++k) {
      boxes[static_cast<std::size_t>(k)] =
          QPixmap(QStringLiteral(":/pictures/tile%1.bmp").arg(k, 2, 10, QLatin1Char('0')));
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
  auto* window = new QWidget;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QStringLiteral("Vorek"));
  window->setWindowIcon(pictures.icon);
  const std::array<const char*, 3> captions{"Voir", "Brasser", "Quitter"};
  for (int i = 0; i < 3; ++i) {
    auto* button =
        new QPushButton(QString::fromUtf8(captions[static_cast<std::size_t>(i)]), window);
    button->setGeometry(272, 8 + 48 * i, 49, 33);
    if (i == 1)
      QObject::connect(button, &QPushButton::clicked, window,
                       [window, &pictures] { rebuild(window, pictures); });
  }
  std::array<Box*, 21> boxes{};
  for (int k = 1; k <= 20; ++k) {
    auto* box = new Box(window, pictures.boxes[static_cast<std::size_t>(k)]);
    box->setGeometry(onPitch((k - 1) % 5), onPitch((k - 1) / 5), kBox, kBox);
    boxes[static_cast<std::size_t>(k)] = box;
  }
  boxes[0] = new Box(window, pictures.boxes[0]);
  boxes[0]->setGeometry(QRect(kParking, QSize(kBox, kBox)));
  // p20 and the blank change places, as the parking move does.
  Box* p20 = boxes[20];
  Box* p0 = boxes[0];
  p20->onClick = [p20, p0] {
    const QRect there = p0->geometry();
    p0->setGeometry(p20->geometry());
    p20->setGeometry(there);
  };
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kClient, screen));
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
