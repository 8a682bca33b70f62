// flinder: the desktop program.
#include <QApplication>
#include <QFileInfo>

#include "app/PlatformDialogs.h"
#include "app/frmMain.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The program ends when the main window says so, after a running export.
  QApplication::setQuitOnLastWindowClosed(false);
  // The design file sits beside the program and carries its name.
  const QFileInfo program(QCoreApplication::applicationFilePath());
  const QString iniFile = program.absolutePath() + "/" + program.completeBaseName() + ".ini";

  flinder::QtPlatformDialogs dialogs;
  flinder::frmMain window(dialogs);
  QObject::connect(&window, &flinder::frmMain::Ended, &application,
                   [] { QCoreApplication::exit(0); });
  window.show();
  window.InitApplication(iniFile.toStdString());
  return QApplication::exec();
}
