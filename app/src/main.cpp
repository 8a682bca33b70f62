// flinder: the desktop program.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "app/PlatformDialogs.h"
#include "app/frmMain.h"
#include "files/FileSizeLimit.h"
#include "files/ProgramFiles.h"

namespace {

constexpr const char* Usage = "usage: flinder [--help | --version]";

constexpr const char* Help =
    "Opens the Flinder window: design turning polygons and stars and save them as\n"
    "animated GIF, WebP or APNG files. The designs are kept in the design file that\n"
    "flinder-export --designs-path prints.\n"
    "\n"
    "  --help, --version    print this help or the version\n"
    "\n"
    "Exit codes: 0 success, 2 bad usage.\n";

// --help and --version answer as flinder-export does, before any window or
// display is needed; the window itself takes no arguments. Nothing: open it.
std::optional<int> AnswerArguments(int argc, char** argv) {
  if (argc <= 1) return std::nullopt;
  const auto given = [&](std::string_view option) {
    return std::find(argv + 1, argv + argc, option) != argv + argc;
  };
  if (given("--help")) {
    std::printf("%s\n\n%s", Usage, Help);
    return 0;
  }
  if (given("--version")) {
    std::printf("flinder %s\n", FLINDER_VERSION);
    return 0;
  }
  std::fprintf(stderr, "%s\n", Usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> answered = AnswerArguments(argc, argv)) return *answered;
  flinder::ReportFileSizeLimitAsError();
  QApplication application(argc, argv);
  // Desktops match the window to the installed menu entry and icon by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.flinder.Flinder"));
  // The program ends when the main window says so, after a running export.
  QApplication::setQuitOnLastWindowClosed(false);
  const flinder::DesignFilePlaces places = flinder::PlacesOfThisProgram();

  flinder::QtPlatformDialogs dialogs;
  flinder::frmMain window(dialogs);
  QObject::connect(&window, &flinder::frmMain::Ended, &application,
                   [] { QCoreApplication::exit(0); });
  const flinder::PreparedDesignFile designs = flinder::PrepareDesignFile(places);
  window.InitApplication(designs.Path, flinder::ManualPath(places.ProgramFolder), designs.Problem);
  return QApplication::exec();
}
