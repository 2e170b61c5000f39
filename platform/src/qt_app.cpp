// qt_app.cpp: the program's start on Qt: display check, application set-up and the event loop.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/qt_app.h"

namespace platform {
namespace {

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool hasDisplay() {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

void noDisplay(const char* program) {
  std::fprintf(stderr,
               "%s : aucun affichage graphique n'est disponible. Lancez le jeu depuis une session "
               "graphique (la variable DISPLAY ou WAYLAND_DISPLAY doit être définie).\n",
               program);
}

// Qt ends with an abort when it cannot reach the display it was given: say it in French, after
// Qt's own lines, and leave with a plain failure status instead.
void fatalHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "vorek : impossible d'ouvrir l'affichage graphique « %s ».\n",
                 display != nullptr ? display : "");
    std::_Exit(EXIT_FAILURE);
  }
}

}  // namespace

void setUpApplication(const ProjectRecord& project) {
  QCoreApplication::setApplicationName(qs(project.title).toLower());
  QCoreApplication::setApplicationVersion(qs(project.version));
  QCoreApplication::setOrganizationName(qs(project.name));
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  // The runtime decides when the program ends: when its last loaded form goes, or at End.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setFont(QFont(QString::fromLatin1(kProgramFont.family), kProgramFont.pointSize));
  if (!project.forms.empty() && !project.forms[0]->icon.empty()) {
    QApplication::setWindowIcon(QIcon(qs(project.forms[0]->icon)));
  }
  // Qt's own texts (the OK of the message boxes) in French, where Debian's translations are.
  auto* translator = new QTranslator(qApp);
  if (translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

int runOnQt(int argc, char** argv, const ProjectRecord& project, const ProgramFactory& program) {
  if (!hasDisplay()) {
    noDisplay(argc > 0 ? argv[0] : "vorek");
    return EXIT_FAILURE;
  }
  QtMessageHandler previous = qInstallMessageHandler(fatalHandler);
  QApplication application(argc, argv);
  qInstallMessageHandler(previous);
  setUpApplication(project);

  QtHost host;
  MersenneRandom random;
  Runtime runtime(project, host, random);
  const std::unique_ptr<ProgramCode> code = program(runtime);
  runtime.start();
  if (runtime.ended()) return *runtime.exitStatus();
  const int status = QApplication::exec();
  return runtime.exitStatus().value_or(status);
}

}  // namespace platform
