// installed_files_test.cpp: the staged icons, menu entry and AppStream record, against the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QSet>
#include <QXmlStreamReader>
#include <stdexcept>

#include "forms/forms.h"
#include "platform/qt_app.h"

namespace {

// The staged tree's share directory, as CTest gives it.
QString share() { return qEnvironmentVariable("VOREK_STAGED_SHARE"); }

// The one desktop entry installed, and its keys.
struct Entry {
  QString id;
  QMap<QString, QString> keys;
};

Entry desktopEntry() {
  const QDir applications(share() + "/applications");
  const QStringList files = applications.entryList({"*.desktop"}, QDir::Files);
  if (files.size() != 1) throw std::runtime_error("not one desktop entry");
  QFile file(applications.filePath(files[0]));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) throw std::runtime_error("unreadable");
  Entry entry{files[0].chopped(int(sizeof(".desktop") - 1)), {}};
  for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
    const qsizetype equals = line.indexOf('=');
    if (equals > 0 && !line.startsWith('#')) entry.keys[line.left(equals)] = line.mid(equals + 1);
  }
  return entry;
}

// The text of every element of the metainfo with this name, in order.
QStringList metainfo(const QString& id, const QString& element, const QString& attribute = {}) {
  QFile file(share() + "/metainfo/" + id + ".metainfo.xml");
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("no metainfo");
  QXmlStreamReader xml(&file);
  QStringList found;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element) {
      found << (attribute.isEmpty() ? xml.readElementText()
                                    : xml.attributes().value(attribute).toString());
    }
  }
  if (xml.hasError()) throw std::runtime_error(xml.errorString().toStdString());
  return found;
}

TEST(Identity, TheWaylandAppIdIsTheDesktopEntrysId) {
  const Entry entry = desktopEntry();
  EXPECT_EQ(QGuiApplication::desktopFileName(), entry.id);
  EXPECT_EQ(metainfo(entry.id, "id"), QStringList{entry.id});
  EXPECT_EQ(metainfo(entry.id, "launchable"), QStringList{entry.id + ".desktop"});
}

TEST(Identity, TheWindowClassIsTheEntrysStartupWMClass) {
  // Qt names the X11 class of every window after the application.
  EXPECT_EQ(desktopEntry().keys.value("StartupWMClass"), QCoreApplication::applicationName());
  EXPECT_FALSE(QCoreApplication::applicationName().isEmpty());
}

TEST(Identity, TheEntryAndRecordCarryTheProgramsNameAndVersion) {
  const Entry entry = desktopEntry();
  const platform::ProjectRecord& project = forms::project();
  EXPECT_EQ(entry.keys.value("Name").toStdString(), project.title);
  EXPECT_EQ(entry.keys.value("Categories"), "Game;LogicGame;");
  EXPECT_EQ(
      metainfo(entry.id, "release", "version"),
      QStringList{QString::fromUtf8(project.version.data(), qsizetype(project.version.size()))});
  EXPECT_EQ(metainfo(entry.id, "binary"), QStringList{entry.keys.value("Exec")});
}

QSet<QRgb> colours(const QImage& image) {
  QSet<QRgb> found;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) found.insert(image.pixel(x, y));
  }
  return found;
}

TEST(Icons, EverySizeIsTheDesignsIconPixelMultiplied) {
  const QString name = desktopEntry().keys.value("Icon");
  const QImage design = QImage(":/pictures/vorek.ico").convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(design.size(), QSize(32, 32));
  for (int size : {32, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const QString path =
        QString("%1/icons/hicolor/%2x%2/apps/%3.png").arg(share()).arg(size).arg(name);
    const QImage png(path);
    ASSERT_FALSE(png.isNull()) << path.toStdString();
    EXPECT_EQ(png.size(), QSize(size, size));
    // A palette image of at most 16 entries, as the design's icon.
    EXPECT_EQ(png.format(), QImage::Format_Indexed8);
    EXPECT_LE(png.colorCount(), 16);
    const QImage argb = png.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(colours(argb), colours(design));
    const int n = size / 32;
    int wrong = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) wrong += argb.pixel(x, y) != design.pixel(x / n, y / n);
    }
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
