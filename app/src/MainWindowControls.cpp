// The tool buttons and view toggles, and the live preview's timer and drag.
#include <QApplication>
#include <QMenu>

#include "app/MouseButtons.h"
#include "app/frmMain.h"
#include "render/Checkerboard.h"
#include "render/PreviewDrag.h"

namespace flinder {

// ---- tool buttons and toggles ----

void frmMain::cmdAdd_MouseDown(int index, int button) {
  if (button == LeftButton) cmdAdd.at(index)->SetBorder(true);
}

void frmMain::cmdAdd_MouseUp(int index, int button) {
  cmdAdd.at(index)->SetBorder(false);
  if (button != LeftButton) return;
  switch (index) {
    case 1:
      ToggleStar();
      break;
    case 2:
      ToggleShapeShadow();
      break;
    case 3:
      ToggleText();
      break;
    case 4:
      ToggleTextShadow();
      break;
    case 0:
      ExportAnimatedGif();
      break;
    case 11:
      RunCommand(5);
      break;
    case 9:
      RunCommand(6);
      break;
    default:
      break;
  }
}

void frmMain::ToggleStar() {
  History.Record(QStringLiteral("Star"), [this] { Settings.ToggleStar(); });
}
void frmMain::ToggleText() {
  History.Record(QStringLiteral("Text"), [this] { Settings.ToggleText(); });
}
void frmMain::ToggleShapeShadow() {
  History.Record(QStringLiteral("Shape Shadow"), [this] { Settings.ToggleShapeShadow(); });
}
void frmMain::ToggleTextShadow() {
  History.Record(QStringLiteral("Text Shadow"), [this] { Settings.ToggleTextShadow(); });
}

void frmMain::SwitchChanged(Switch which, bool on) {
  auto show = [&](QAction* item, int button) {
    item->setChecked(on);
    if (button < 0) return;
    cmdAdd.at(button)->SetBorder(on);
    cmdAdd.at(button)->SetAccessibleValue(on ? QStringLiteral("on") : QStringLiteral("off"));
  };
  switch (which) {
    case Switch::Star:
      show(Menus.mnuStar, 1);
      Menus.mnuPolygon->setChecked(!on);
      break;
    case Switch::ShowText:
      show(Menus.mnuText, 3);
      break;
    case Switch::ViewShapeShadow:
      show(Menus.mnuShapeShadow, 2);
      break;
    case Switch::ViewTextShadow:
      show(Menus.mnuTextShadow, 4);
      break;
    case Switch::ViewLine:
      show(Menus.mnuLine, -1);
      break;
    case Switch::ViewLineShadow:
      show(Menus.mnuLineShadow, -1);
      break;
    case Switch::TextFront:
      show(Menus.mnuTextFront, -1);
      break;
    case Switch::Transparent:
      show(Menus.mnuTransparent, -1);
      break;
  }
}

// ---- the live preview ----

void frmMain::timAnim_Timer() {
  if (Settings.CurrentShape.empty()) return;
  for (int frame = 0; frame < FramesPerTick; ++frame)
    Renderer.DrawFrame(picAnim->Surface, Settings);
  if (Settings.Transparent) ShowChecksBehind(picAnim->Surface);
  picAnim->update();
}

// A drag with the left or the right button is one step, from the press to
// the release; the middle button drags the exported file out.
void frmMain::picAnim_MouseDown(int button, QPointF position) {
  if (button == MiddleButton) dragOutFrom_ = position;
  if (button == RightButton) History.Begin(QStringLiteral("Move Caption"));
  if (button != LeftButton) return;
  History.Begin(QStringLiteral("Move Shape"));
  if (Settings.SliderVal(Delay) <= 10) return;
  Message(QStringLiteral("Please set the delay below 10 while moving shapes."));
  // The message box took the pointer; the drag goes on while the button is
  // still held, until it is released.
  if (QApplication::mouseButtons() & Qt::LeftButton) picAnim->grabMouse();
}

void frmMain::picAnim_MouseMove(int button, QPointF position) {
  if (button == MiddleButton && dragOutFrom_ &&
      (position - *dragOutFrom_).manhattanLength() >= QApplication::startDragDistance()) {
    dragOutFrom_.reset();
    return DragExportedFile();
  }
  DragInPreview(Settings, button, position.x(), position.y(), picAnim->Surface.Width(),
                picAnim->Surface.Height());
}

void frmMain::picAnim_MouseUp() {
  dragOutFrom_.reset();
  History.End();
  if (QWidget::mouseGrabber() == picAnim) picAnim->releaseMouse();
}

void frmMain::picPlate_MouseUp(int button, QPointF position) {
  if (button == RightButton) Menus.mnuView->popup(picPlate->mapToGlobal(position.toPoint()));
}

}  // namespace flinder
