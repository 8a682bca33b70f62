// The File menu's export choices beside Optimise Size: settings of the
// design file, not of a design, written as soon as they change and read once
// at start-up.
#include <QAction>
#include <QMenu>

#include "app/frmMain.h"

namespace flinder {

void frmMain::ConnectExportChoices() {
  // Unchecked, the count the file held before comes back (the usual 999 when none).
  connect(Menus.mnuLoopForever, &QAction::triggered, this,
          [this] { Designs.WritePreference("Export", "Loop", LoopKeyText(ExportLoop())); });
  connect(Menus.mnuSmoothMotion, &QAction::triggered, this, [this] {
    Designs.WritePreference("Export", "Motion", MotionKeyText(ExportMotion()));
  });
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale)
    connect(Menus.mnuScaleItems[scale - MinExportScale], &QAction::triggered, this,
            [this, scale] { Designs.WritePreference("Export", "Scale", std::to_string(scale)); });
}

void frmMain::ShowExportChoices(const IniDocument& stored) {
  const LoopChoice loop = LoopFromKey(stored.Read("Export", "Loop"));
  Menus.mnuLoopForever->setChecked(loop.Forever);
  loopRepeats_ = loop.Repeats;
  Menus.mnuSmoothMotion->setChecked(MotionFromKey(stored.Read("Export", "Motion")) ==
                                    MotionChoice::Smooth);
  const int scale = ScaleFromKey(stored.Read("Export", "Scale"));
  Menus.mnuScaleItems[scale - MinExportScale]->setChecked(true);
}

LoopChoice frmMain::ExportLoop() const {
  return {Menus.mnuLoopForever->isChecked(), loopRepeats_};
}

MotionChoice frmMain::ExportMotion() const {
  return Menus.mnuSmoothMotion->isChecked() ? MotionChoice::Smooth : MotionChoice::Steps;
}

int frmMain::ExportScale() const {
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale)
    if (Menus.mnuScaleItems[scale - MinExportScale]->isChecked()) return scale;
  return MinExportScale;
}

}  // namespace flinder
