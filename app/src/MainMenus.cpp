#include "app/MainMenus.h"

#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace flinder {
namespace {

QAction* Item(QMenu* menu, const char* caption, bool checkable = false, bool visible = true) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setCheckable(checkable);
  action->setVisible(visible);
  return action;
}

// An item with shortcut keys; the menu shows the first.
QAction* Keyed(QMenu* menu, const char* caption, const QList<QKeySequence>& keys) {
  QAction* action = Item(menu, caption);
  action->setShortcuts(keys);
  return action;
}

QAction* HiddenCheck(QMenu* menu, const char* caption) {
  return Item(menu, caption, true, false);
}

}  // namespace

MainMenus BuildMainMenus(QMenuBar* bar) {
  MainMenus m{};
  m.mnuFile = bar->addMenu(QStringLiteral("&File"));
  m.mnuSaveAs = Keyed(m.mnuFile, "Save &As...", {Qt::CTRL | Qt::SHIFT | Qt::Key_S});
  m.mnuExportWeb = Item(m.mnuFile, "Export for &Web…");
  m.mnuSave = Keyed(m.mnuFile, "&Save", {Qt::CTRL | Qt::Key_S});
  m.mnuSave->setEnabled(false);  // until the first export
  m.mnuFile->addSeparator();
  m.mnuOptimise = Item(m.mnuFile, "&Optimise Size", true);
  m.mnuLoopForever = Item(m.mnuFile, "Loop &Forever", true);
  m.mnuSmoothMotion = Item(m.mnuFile, "Smooth &Motion", true);
  m.mnuScale = m.mnuFile->addMenu(QStringLiteral("Export S&cale"));
  auto* scales = new QActionGroup(m.mnuScale);  // checking one scale unchecks the others
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale) {
    QAction* item = m.mnuScale->addAction(QStringLiteral("&%1\u00d7").arg(scale));
    item->setCheckable(true);
    scales->addAction(item);
    m.mnuScaleItems[scale - MinExportScale] = item;
  }
  m.mnuScaleItems[0]->setChecked(true);
  // Not a group: any of the copies may be checked, and the window keeps one.
  m.mnuWebCopies = m.mnuFile->addMenu(QStringLiteral("Web Co&pies"));
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale) {
    QAction* item = m.mnuWebCopies->addAction(QStringLiteral("&%1\u00d7 Copy").arg(scale));
    item->setCheckable(true);
    m.mnuWebCopyItems[scale - MinExportScale] = item;
  }
  m.mnuFile->addSeparator();
  m.mnuExit = Keyed(m.mnuFile, "&Exit", {Qt::CTRL | Qt::Key_Q});

  m.mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
  // Undo and Redo take the step's name once there is one.
  m.mnuUndo = Keyed(m.mnuEdit, "&Undo", {Qt::CTRL | Qt::Key_Z});
  m.mnuRedo = Keyed(m.mnuEdit, "&Redo", {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y});
  m.mnuEdit->addSeparator();
  m.mnuCopyPicture = Keyed(m.mnuEdit, "&Copy Picture", {Qt::CTRL | Qt::Key_C});
  m.mnuCopyHtml = Item(m.mnuEdit, "Copy &HTML");
  m.mnuCopyHtml->setEnabled(false);  // until the first web export
  m.mnuEdit->addSeparator();
  m.mnuShape = m.mnuEdit->addMenu(QStringLiteral("&Shape"));
  m.mnuAdd = Item(m.mnuShape, "&Add");
  m.mnuUpdate = Item(m.mnuShape, "&Update");
  m.mnuRemove = Item(m.mnuShape, "&Remove");
  m.mnuS7 = m.mnuShape->addSeparator();
  m.mnuS7->setVisible(false);
  m.mnuRename = Item(m.mnuShape, "&Rename");
  m.mnuTextEdit = m.mnuEdit->addMenu(QStringLiteral("&Text"));
  m.mnuFont = Item(m.mnuTextEdit, "&Font...");
  m.mnuTextFront = Item(m.mnuTextEdit, "&Bring to Front", true);

  m.mnuView = bar->addMenu(QStringLiteral("&View"));
  m.mnuType = Item(m.mnuView, "&Type", false, false);
  m.mnuPolygon = HiddenCheck(m.mnuView, "&Polygon");
  m.mnuStar = Item(m.mnuView, "&Star", true);
  m.mnuLine = HiddenCheck(m.mnuView, "&Line");
  m.mnuText = Item(m.mnuView, "Te&xt", true);
  m.mnuHeart = Item(m.mnuView, "&Heart", false, false);
  m.mnuShadow = m.mnuView->addMenu(QStringLiteral("&Shadow"));
  m.mnuShapeShadow = Item(m.mnuShadow, "&Polygon", true);
  m.mnuTextShadow = Item(m.mnuShadow, "&Text", true);
  m.mnuLineShadow = HiddenCheck(m.mnuShadow, "&Line");
  m.mnuTransparent = Item(m.mnuView, "Trans&parent Background", true);
  m.mnuView->addSeparator();
  m.mnuOnTop = Item(m.mnuView, "&Always on Top", true);

  m.mnuHelp = bar->addMenu(QStringLiteral("&Help"));
  m.mnuContents = Keyed(m.mnuHelp, "&Contents", {Qt::Key_F1});
  m.mnuHelp->addSeparator();
  m.mnuAbout = Item(m.mnuHelp, "&About");
  return m;
}

}  // namespace flinder
