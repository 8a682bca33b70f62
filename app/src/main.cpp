// flinder: the desktop program.
#include <QApplication>

#include "app/PlatformDialogs.h"
#include "app/frmMain.h"
#include "files/FileSizeLimit.h"
#include "files/ProgramFiles.h"

int main(int argc, char** argv) {
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
