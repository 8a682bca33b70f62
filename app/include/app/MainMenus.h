#pragma once

#include <array>

#include "design/ExportChoices.h"

class QAction;
class QMenu;
class QMenuBar;

namespace flinder {

// The main window's menu tree. Items that are never shown are kept
// (hidden) because their check marks still hold state.
struct MainMenus {
  QMenu* mnuFile;
  QAction* mnuSaveAs;
  QAction* mnuExportWeb;
  QAction* mnuSave;
  QAction* mnuOptimise;
  QAction* mnuLoopForever;
  QAction* mnuSmoothMotion;  // an SVG turns evenly rather than frame by frame
  QMenu* mnuScale;
  std::array<QAction*, MaxExportScale> mnuScaleItems;    // 1x first; one is checked
  QMenu* mnuWebCopies;                                   // the scale copies of a web export
  std::array<QAction*, MaxExportScale> mnuWebCopyItems;  // 1x first; at least one is checked
  QAction* mnuExit;

  QMenu* mnuEdit;
  QAction* mnuUndo;
  QAction* mnuRedo;
  QAction* mnuCopyPicture;
  QAction* mnuCopyHtml;  // the last web export's HTML
  QMenu* mnuShape;
  QAction* mnuAdd;
  QAction* mnuUpdate;
  QAction* mnuRemove;
  QAction* mnuS7;
  QAction* mnuRename;
  QMenu* mnuTextEdit;
  QAction* mnuFont;
  QAction* mnuTextFront;

  QMenu* mnuView;
  QAction* mnuType;
  QAction* mnuPolygon;
  QAction* mnuStar;
  QAction* mnuLine;
  QAction* mnuText;
  QAction* mnuHeart;
  QMenu* mnuShadow;
  QAction* mnuShapeShadow;
  QAction* mnuTextShadow;
  QAction* mnuLineShadow;
  QAction* mnuTransparent;
  QAction* mnuOnTop;

  QMenu* mnuHelp;
  QAction* mnuContents;
  QAction* mnuAbout;
};

// Builds the tree into `bar`: captions, shortcut keys, check marks, enabled
// and visible states as the window starts with them.
MainMenus BuildMainMenus(QMenuBar* bar);

}  // namespace flinder
