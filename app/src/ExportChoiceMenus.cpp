// The File menu's export choices beside Optimise Size, Web Copies among
// them: settings of the design file, not of a design, written as soon as
// they change and read once at start-up.
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
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale)
    connect(Menus.mnuWebCopyItems[scale - MinExportScale], &QAction::triggered, this,
            [this, scale](bool on) { ChooseWebCopy(scale, on); });
  ShowWebScales();
}

// The item has flipped its own check mark; the last copy left is checked again.
void frmMain::ChooseWebCopy(int scale, bool on) {
  WebScales chosen = webScales_;
  chosen.Set(scale, on);
  if (chosen != webScales_) {
    webScales_ = chosen;
    Designs.WritePreference("Export", "WebScales", WebScalesKeyText(webScales_));
  }
  ShowWebScales();
}

void frmMain::ShowWebScales() {
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale)
    Menus.mnuWebCopyItems[scale - MinExportScale]->setChecked(webScales_.Has(scale));
}

void frmMain::ShowExportChoices(const IniDocument& stored) {
  const LoopChoice loop = LoopFromKey(stored.Read("Export", "Loop"));
  Menus.mnuLoopForever->setChecked(loop.Forever);
  loopRepeats_ = loop.Repeats;
  Menus.mnuSmoothMotion->setChecked(MotionFromKey(stored.Read("Export", "Motion")) ==
                                    MotionChoice::Smooth);
  const int scale = ScaleFromKey(stored.Read("Export", "Scale"));
  Menus.mnuScaleItems[scale - MinExportScale]->setChecked(true);
  webScales_ = WebScalesFromKey(stored.Read("Export", "WebScales"));
  ShowWebScales();
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
