#pragma once

#include <QPointF>
#include <array>
#include <string>
#include <vector>

#include "app/PictureBox.h"
#include "app/PlatformDialogs.h"
#include "app/UndoHistory.h"
#include "design/IniDocument.h"
#include "design/ShapeSettings.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace flinder {

// What the colour dialog keeps between uses: it opens on the colour last
// picked in it (shared with the font dialog).
struct CommonDialogState {
  ColourValue Color = 0;
};

// The parameter panel inside picHold: thirteen slider rows, the colour
// options with their swatch, the caption text box and the frame counter.
// It only passes the user's actions to the settings record, each as a step
// of the undo history, and shows what the record tells it.
class ParameterPanel {
 public:
  static constexpr int RowCount = 13;
  // The design file reads no more of a caption back.
  static constexpr int MaxCaptionLength = static_cast<int>(MaxValueLength);

  ParameterPanel(QWidget* picHold, ShapeSettings& settings, UndoHistory& history,
                 PlatformDialogs& dialogs, CommonDialogState& dlgAnim);

  // Builds rows 1 to 12 as copies of row 0, places the colour area below and
  // sets the Tab order: the rows, the swatch, the options, the caption box.
  void SetupSliders();
  static QString RowCaption(int row);

  // What the settings record shows.
  void ShowValue(int row, const std::string& text);
  void MoveThumb(int row, float position);
  void ShowSwatchColour(ColourValue colour);
  void ShowSelectedSlot(int slot);
  void ShowCaption(const std::string& text);
  void ShowFrameCount(const std::string& text);

  // The user's actions.
  void picSlider_MouseDown(int index, int button, QPointF position);
  void picSlider_MouseMove(int index, int button, QPointF position);
  // Left and Right, Page Up and Page Down, Home and End; false for others.
  bool picSlider_KeyDown(int index, int key);
  void optCol_Click(int index);
  void picCol_MouseDown(int button);
  void picCol_MouseUp(int button);
  void PickColor();

  std::vector<QLabel*> lblSlider;
  std::vector<PictureBox*> picSlider;
  std::vector<QLabel*> lblSliderVal;
  QWidget* picColor;
  std::array<QRadioButton*, ColourSlotCount> optCol{};
  PictureBox* picCol;
  QLineEdit* txtText;
  QLabel* lblFrame;

 private:
  void AddRow(int top);
  void BuildColourArea(QWidget* picHold);
  void SetSliderTo(int index, QPointF position);

  QWidget* picHold_;
  QWidget* parentWindow_;
  ShapeSettings& settings_;
  UndoHistory& history_;
  bool showingCaption_ = false;  // the box's text comes from the record
  PlatformDialogs& dialogs_;
  CommonDialogState& dlgAnim_;
};

}  // namespace flinder
