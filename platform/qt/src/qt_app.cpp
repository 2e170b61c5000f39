// qt_app.cpp: the program's start on Qt: display check, application set-up and the event loop.
#include "platform/qt_app.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "qt_views.h"

namespace platform {
namespace {

// A variable of the environment, empty when it is not set.
std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool isSet(const char* name) { return !environment(name).empty(); }

bool hasDisplay() { return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY"); }

// On a Wayland desktop that runs X programs too (XWayland), the windows go through X: there
// they are centred as designed and framed by the desktop, where a Wayland client cannot place
// its windows and Qt draws its own title bars on desktops that leave them to programs. Wayland
// stays the fallback, and QT_QPA_PLATFORM or -platform choose otherwise.
void preferX11(int argc, char** argv) {
  if (isSet("QT_QPA_PLATFORM") || !isSet("DISPLAY") || !isSet("WAYLAND_DISPLAY")) return;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "-platform") return;
  }
  ::setenv("QT_QPA_PLATFORM", "xcb;wayland", 1);
}

// The display Qt tried first: the Wayland one when asked for Wayland, or when there is no X and
// no platform was named.
std::string displayName() {
  const std::string platform = environment("QT_QPA_PLATFORM");
  const bool wayland = platform.starts_with("wayland") || (platform.empty() && !isSet("DISPLAY"));
  if (!wayland) return environment("DISPLAY");
  return isSet("WAYLAND_DISPLAY") ? environment("WAYLAND_DISPLAY") : "wayland-0";
}

// The program's sentence for a display that cannot be reached, for the handler below.
std::string_view displayUnreachable;

// Qt ends with an abort when it cannot reach the display it was given: say it in the program's
// words, after Qt's own lines, and leave with a plain failure status instead.
void fatalHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", filledIn(displayUnreachable, displayName()).c_str());
    std::_Exit(EXIT_FAILURE);
  }
}

// SIGTERM and SIGINT end the program through the event loop: the handler only writes the
// signal's number into a pipe, which the loop reads like any other event.
int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int signal) {
  const auto byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

std::unique_ptr<QSocketNotifier> catchTerminationSignals(Runtime& runtime) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
  auto notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [&runtime] {
    unsigned char signal = 0;
    // The usual status of a program ended by a signal, without the crash of one.
    if (::read(signalPipe[0], &signal, 1) == 1) runtime.terminate(128 + signal);
  });
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  return notifier;
}

}  // namespace

void setUpApplication(const ProjectRecord& project) {
  const ProgramIdentity& identity = project.identity;
  QCoreApplication::setApplicationName(qs(identity.program));
  QGuiApplication::setDesktopFileName(qs(identity.desktopId));
  QCoreApplication::setApplicationVersion(qs(project.version));
  QCoreApplication::setOrganizationName(qs(project.name));
  const QLocale locale(qs(identity.localeName));
  QLocale::setDefault(locale);
  // The runtime decides when the program ends: when its last loaded form goes, or at End.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setFont(QFont(qs(project.font.family), project.font.pointSize));
  if (!project.forms.empty() && !project.forms[0]->icon.empty()) {
    QApplication::setWindowIcon(QIcon(pictureResource(project.forms[0]->icon)));
  }
  // Qt's own texts (the OK of the message boxes) in the program's language, where Debian's
  // translations are.
  auto* translator = new QTranslator(qApp);
  if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

int runOnQt(int argc, char** argv, const ProjectRecord& project, const ProgramFactory& program) {
  if (!hasDisplay()) {
    std::fprintf(stderr, "%s\n",
                 filledIn(project.texts.noDisplay,
                          argc > 0 ? std::string_view(argv[0]) : project.identity.program)
                     .c_str());
    return EXIT_FAILURE;
  }
  displayUnreachable = project.texts.displayUnreachable;
  preferX11(argc, argv);
  QtMessageHandler previous = qInstallMessageHandler(fatalHandler);
  QApplication application(argc, argv);
  qInstallMessageHandler(previous);
  setUpApplication(project);

  QtHost host;
  MersenneRandom random;
  Runtime runtime(project, host, random);
  const std::unique_ptr<ProgramCode> code = program(runtime);
  const auto terminationSignals = catchTerminationSignals(runtime);
  runtime.start();
  if (runtime.ended()) return *runtime.exitStatus();
  const int status = QApplication::exec();
  return runtime.exitStatus().value_or(status);
}

}  // namespace platform
