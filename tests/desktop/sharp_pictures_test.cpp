// sharp_pictures_test.cpp: at device-pixel ratios 2 and 1.5, pictures are enlarged unsmoothed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <cmath>
#include <string>

#include "forms/forms.h"
#include "platform/layout.h"
#include "qt_support.h"

namespace {

// The ratio CTest starts this process at; Qt must honour it for the screen and the grabs.
double expectedRatio() { return qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(); }

const int kBorder = platform::sunkenEdge(96);  // of every picture box, in logical pixels

QSet<QRgb> colours(const QImage& image, QRect area) {
  QSet<QRgb> found;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) found.insert(image.pixel(x, y));
  }
  return found;
}

std::string describe(const char* stripe, int k, const QSet<QRgb>& source, const QSet<QRgb>& drawn) {
  const auto count = [](QSet<QRgb> a, const QSet<QRgb>& b) {
    return std::to_string(a.subtract(b).size());
  };
  return std::string(stripe) + " " + std::to_string(k) + ": " + std::to_string(source.size()) +
         " colours in the picture, " + std::to_string(drawn.size()) + " drawn, of which " +
         count(drawn, source) + " not in the picture; " + count(source, drawn) + " not drawn";
}

// Compares each one-pixel row and column of the picture with the device pixels through its
// middle: enlarged by nearest neighbour, they hold the very same colours, no fewer and no new
// blend. Returns the stripes that differ.
std::vector<std::string> smoothedStripes(const QImage& picture, const QImage& shown, double ratio,
                                         QPoint at) {
  std::vector<std::string> differ;
  const int left = static_cast<int>(std::floor(at.x() * ratio));
  const int top = static_cast<int>(std::floor(at.y() * ratio));
  const int right = static_cast<int>(std::ceil((at.x() + picture.width()) * ratio)) - 1;
  const int bottom = static_cast<int>(std::ceil((at.y() + picture.height()) * ratio)) - 1;
  auto middle = [ratio](int origin, int k) {
    return static_cast<int>(std::floor((origin + k + 0.5) * ratio));
  };
  for (int y = 0; y < picture.height(); ++y) {
    const QSet<QRgb> source = colours(picture, QRect(0, y, picture.width(), 1));
    const int row = middle(at.y(), y);
    const QSet<QRgb> drawn = colours(shown, QRect(QPoint(left, row), QPoint(right, row)));
    if (source != drawn) differ.push_back(describe("row", y, source, drawn));
  }
  for (int x = 0; x < picture.width(); ++x) {
    const QSet<QRgb> source = colours(picture, QRect(x, 0, 1, picture.height()));
    const int column = middle(at.x(), x);
    const QSet<QRgb> drawn = colours(shown, QRect(QPoint(column, top), QPoint(column, bottom)));
    if (source != drawn) differ.push_back(describe("column", x, source, drawn));
  }
  return differ;
}

QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// A picture box as the screen shows it, at the screen's ratio; the grab must be that ratio.
QImage grabAtRatio(QWidget* box) {
  const QPixmap grabbed = box->grab();
  EXPECT_DOUBLE_EQ(grabbed.devicePixelRatio(), expectedRatio());
  EXPECT_EQ(grabbed.width(), static_cast<int>(std::ceil(box->width() * expectedRatio())));
  return rgb(grabbed.toImage());
}

void expectSharp(std::string_view window, std::string_view box, const QString& picturePath) {
  SCOPED_TRACE(std::string(window) + "." + std::string(box));
  QWidget* widget = vorek_test::shownControl(window, box);
  ASSERT_NE(widget, nullptr);
  const QImage picture = rgb(QImage(picturePath));
  ASSERT_FALSE(picture.isNull());
  const QImage shown = grabAtRatio(widget);
  const auto differ = smoothedStripes(picture, shown, expectedRatio(), QPoint(kBorder, kBorder));
  EXPECT_TRUE(differ.empty()) << differ.size() << " stripes differ, first "
                              << (differ.empty() ? std::string() : differ.front());
  // At a whole ratio, nearest neighbour is exact: each source pixel is an N x N square.
  const double whole = std::round(expectedRatio());
  if (whole == expectedRatio()) {
    const int n = static_cast<int>(whole);
    int wrong = 0;
    for (int y = 0; y < picture.height() * n; ++y) {
      for (int x = 0; x < picture.width() * n; ++x) {
        wrong += shown.pixel(kBorder * n + x, kBorder * n + y) != picture.pixel(x / n, y / n);
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(SharpPictures, TheScreenHasTheRatioAsked) {
  ASSERT_GT(expectedRatio(), 1.0);
  EXPECT_DOUBLE_EQ(qApp->devicePixelRatio(), expectedRatio());
}

TEST(SharpPictures, EveryPictureOfEveryWindow) {
  vorek_test::QtProgram game;
  game.openEveryWindow();
  for (const platform::FormDesign* design : forms::project().forms) {
    for (const auto& row : design->controls) {
      if (row.kind == platform::ControlKind::PictureBox)
        expectSharp(design->name, row.name, vorek_test::pictureResource(row.picture));
    }
  }
}

// The comparison above would see smoothing: the portrait drawn smoothly at this ratio fails it.
TEST(SharpPictures, TheStripeCheckSeesASmoothedPicture) {
  const QImage picture = rgb(QImage(QStringLiteral(":/pictures/portrait.bmp")));
  const double ratio = expectedRatio();
  QImage smooth(QSize(static_cast<int>(std::ceil((picture.width() + 4) * ratio)),
                      static_cast<int>(std::ceil((picture.height() + 4) * ratio))),
                QImage::Format_RGB32);
  smooth.setDevicePixelRatio(ratio);
  smooth.fill(Qt::black);
  {
    QPainter painter(&smooth);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRect(QPoint(kBorder, kBorder), picture.size()), picture);
  }
  const auto differ = smoothedStripes(picture, rgb(smooth), ratio, QPoint(kBorder, kBorder));
  EXPECT_GT(differ.size(), static_cast<std::size_t>(picture.height()));
}

}  // namespace
