// icons.cpp: vorek-icons, which writes the program's icon as a palette PNG, pixel-multiplied.
#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QRgb>
#include <cstdio>
#include <cstdlib>

namespace {

int fail(const char* what, const char* argument) {
  std::fprintf(stderr, "vorek-icons: %s: %s\n", what, argument);
  return EXIT_FAILURE;
}

}  // namespace

// vorek-icons SOURCE.ico FACTOR OUTPUT.png
int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: vorek-icons SOURCE.ico FACTOR OUTPUT.png\n");
    return EXIT_FAILURE;
  }
  // The image plugins (ICO among them) are found through the application's library paths.
  QCoreApplication application(argc, argv);
  const QImage source(QString::fromLocal8Bit(argv[1]));
  if (source.isNull()) return fail("cannot read", argv[1]);
  const int factor = std::atoi(argv[2]);
  if (factor < 1 || factor > 16) return fail("bad factor", argv[2]);

  // Keep the drawing's own palette: one entry per colour it uses, transparency included.
  const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
  QList<QRgb> palette;
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) {
      const QRgb pixel = argb.pixel(x, y);
      if (!palette.contains(pixel)) palette.append(pixel);
    }
  }
  if (palette.size() > 16) return fail("more than 16 colours in", argv[1]);

  // Each source pixel becomes a FACTOR x FACTOR square: pixel art stays sharp, no new colour.
  QImage out(argb.size() * factor, QImage::Format_Indexed8);
  out.setColorTable(palette);
  for (int y = 0; y < out.height(); ++y) {
    uchar* line = out.scanLine(y);
    for (int x = 0; x < out.width(); ++x) {
      line[x] = static_cast<uchar>(palette.indexOf(argb.pixel(x / factor, y / factor)));
    }
  }
  QImageWriter writer(QString::fromLocal8Bit(argv[3]), "png");
  // Highest compression; the writer adds no time stamp, so the file is the same at every build.
  writer.setCompression(9);
  if (!writer.write(out)) return fail(writer.errorString().toLocal8Bit().constData(), argv[3]);
  return EXIT_SUCCESS;
}
