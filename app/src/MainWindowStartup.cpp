// Start-up and shutdown of the main window: the design list, the window's
// place and topmost state, the first design and the preview timer.
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>

#include "app/frmMain.h"
#include "design/DesignName.h"
#include "design/ShapeList.h"
#include "design/ValueText.h"
#include "design/WindowPlacement.h"

namespace flinder {
namespace {

PixelRect PixelsOf(const QRect& rect) {
  return {rect.x(), rect.y(), rect.width(), rect.height()};
}

ScreenLayout Screens() {
  ScreenLayout layout;
  const QScreen* primary = QGuiApplication::primaryScreen();
  layout.Primary = PixelsOf(primary->geometry());
  for (const QScreen* screen : QGuiApplication::screens())
    layout.Screens.push_back(PixelsOf(screen->geometry()));
  layout.TwipsPerPixelX = 1440.0 / primary->logicalDotsPerInchX();
  layout.TwipsPerPixelY = 1440.0 / primary->logicalDotsPerInchY();
  return layout;
}

}  // namespace

void frmMain::InitApplication(const std::string& iniFile, const std::string& manualFile,
                              const std::string& fileProblem) {
  Designs.IniFile = iniFile;
  ManualFile = manualFile;
  // The file is read once for all of start-up: a long one takes a while.
  IniDocument stored;
  std::string problem = fileProblem;
  if (problem.empty()) {
    Result<IniDocument> read = Designs.DocumentToRead();
    if (read)
      stored = std::move(*read);
    else
      problem = read.Message();
  }
  // The session starts empty and never writes over a file it could not read.
  if (!problem.empty()) Designs.RefuseWrites(problem);
  FillDesignList(stored);
  StartupDone = false;
  // The image module and the angle factor need no initialisation here.
  Panel->SetupSliders();
  RestoreWindowPlace(stored);
  show();
  Menus.mnuOptimise->setChecked(IsTrue(stored.Read("Export", "Optimise")));
  ShowExportChoices(stored);
  StartupDone = true;
  // A file that could not be read is reported over the finished window.
  if (!problem.empty()) Message(QString::fromStdString(problem));
  if (cmbAnim->count() > 0) {
    cmbAnim->setCurrentIndex(0);
    cmbAnim_Click();
  }
  cmbAnim->setFocus();  // the keyboard starts on the design list
  timAnim.start();
}

void frmMain::FillDesignList(const IniDocument& stored) {
  std::vector<std::string> names = ScanShapeList(stored.Bytes());
  // Sorted once and added together: inserting one by one at its place
  // would make a long list take quadratic time.
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareDesignNames(a, b) < 0;
  });
  QStringList entries;
  entries.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string& name : names) entries << QString::fromStdString(name);
  cmbAnim->addItems(entries);
}

void frmMain::AddToList(const QString& name) {
  const std::string added = name.toStdString();
  int first = 0, last = cmbAnim->count();
  while (first < last) {
    const int middle = (first + last) / 2;
    if (CompareDesignNames(cmbAnim->itemText(middle).toStdString(), added) <= 0)
      first = middle + 1;
    else
      last = middle;
  }
  cmbAnim->insertItem(first, name);
}

void frmMain::RestoreWindowPlace(const IniDocument& stored) {
  // A place where no part of the title bar is on a screen could never be
  // reached: it is treated as a first start.
  const QRect frame = frameGeometry();
  const int titleHeight =
      std::max(geometry().y() - frame.y(), style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const WindowPlacement place =
      RestoreWindowPlacement(stored, Designs, Screens(), PixelsOf(frame), titleHeight);
  Menus.mnuOnTop->setChecked(!place.OnTop);
  ToggleOnTop();
  // Placed before it is first shown, the window asks for its frame's corner
  // to go there; once shown, Qt would put the client area there until the
  // window manager has framed the window.
  move(place.X, place.Y);
}

void frmMain::SaveWindowPlacement() {
  const QPoint place = frameGeometry().topLeft();
  flinder::SaveWindowPlacement(Designs, Screens(),
                               {place.x(), place.y(), Menus.mnuOnTop->isChecked()});
}

// A running export is let finish; the program ends after it.
void frmMain::closeEvent(QCloseEvent* event) {
  SaveWindowPlacement();
  event->accept();
  if (Busy())
    closeAfterExport_ = true;
  else
    emit Ended();
}

void frmMain::ToggleOnTop() {
  Menus.mnuOnTop->setChecked(!Menus.mnuOnTop->isChecked());
  SetWindowOnTop(this, Menus.mnuOnTop->isChecked());
}

void frmMain::SetWindowOnTop(QWidget* window, bool onTop) {
  Qt::WindowFlags flags = window->windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
  // Telling the window system directly keeps the window where it is;
  // setWindowFlags would hide and re-create it.
  window->overrideWindowFlags(flags);
  if (QWindow* handle = window->windowHandle()) handle->setFlags(flags);
}

}  // namespace flinder
