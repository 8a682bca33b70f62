#include "app/ParameterPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>
#include <cmath>

#include "app/MouseButtons.h"
#include "app/WindowLook.h"
#include "design/Cp1252.h"
#include "design/SliderKeys.h"
#include "render/SliderThumb.h"

namespace flinder {
namespace {

const char* const RowCaptions[ParameterPanel::RowCount] = {
    "Sides", "Radius",   "Speed",    "Detail", "Delay", "Width", "Height",
    "Star",  "S Shadow", "T Shadow", "Red",    "Green", "Blue"};

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect geometry, QColor colour,
                  Qt::Alignment alignment) {
  auto* label = new QLabel(text, parent);
  label->setFont(ArialFont(6.75));
  SetColour(label, QPalette::WindowText, colour);
  label->setAlignment(alignment);
  if (geometry.width() > 0) {
    label->setGeometry(geometry);
  } else {
    label->adjustSize();  // sized to its text
    label->move(geometry.topLeft());
  }
  return label;
}

// A caption is kept in the design file's code page; characters it cannot
// hold are refused as they are typed rather than lost at the next save.
class CodePageValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return FitsCp1252(input.toStdString()) ? Acceptable : Invalid;
  }
};

// Value labels are plain labels: the system's label colours on its face.
void GiveValueLook(QLabel* label) {
  label->setAutoFillBackground(true);
  SetColour(label, QPalette::Window, QPalette().color(QPalette::Button));
}

}  // namespace

ParameterPanel::ParameterPanel(QWidget* picHold, ShapeSettings& settings, UndoHistory& history,
                               PlatformDialogs& dialogs, CommonDialogState& dlgAnim)
    : picHold_(picHold),
      parentWindow_(picHold->window()),
      settings_(settings),
      history_(history),
      dialogs_(dialogs),
      dlgAnim_(dlgAnim) {
  AddRow(8);
  BuildColourArea(picHold);
}

void ParameterPanel::AddRow(int top) {
  const int row = static_cast<int>(picSlider.size());
  // New rows copy row 0's look; only their top and value colour differ.
  lblSlider.push_back(
      MakeLabel(picHold_, QString(), {0, top, 45, 12}, Qt::white, Qt::AlignRight | Qt::AlignTop));
  auto* track = new PictureBox(picHold_, 185, 9);
  track->move(48, top);
  track->SetBackColor(SliderTrackColour);
  track->MouseDown = [this, row](int button, QPointF p) { picSlider_MouseDown(row, button, p); };
  track->MouseMove = [this, row](int button, QPointF p) { picSlider_MouseMove(row, button, p); };
  track->MouseUp = [this](int, QPointF) { history_.End(); };
  track->KeyDown = [this, row](int key) { return picSlider_KeyDown(row, key); };
  picSlider.push_back(track);
  static const QColor valueColours[] = {Qt::red, Qt::green, Qt::blue};
  QColor valueColour =
      row >= RedSlider ? valueColours[row - RedSlider] : QPalette().color(QPalette::WindowText);
  auto* value = MakeLabel(picHold_, QStringLiteral("0"), {240, top, 25, 9}, valueColour,
                          Qt::AlignHCenter | Qt::AlignTop);
  GiveValueLook(value);
  lblSliderVal.push_back(value);
  for (QWidget* control : {static_cast<QWidget*>(lblSlider.back()), static_cast<QWidget*>(track),
                           static_cast<QWidget*>(value)})
    control->show();
}

void ParameterPanel::BuildColourArea(QWidget* picHold) {
  picColor = new QWidget(picHold);
  picColor->setGeometry(8, 104, 265, 145);

  MakeLabel(picColor, QStringLiteral("Shape"), {48, 8, 0, 0}, Qt::white, Qt::AlignLeft);
  MakeLabel(picColor, QStringLiteral("Background"), {112, 8, 0, 0}, Qt::white, Qt::AlignLeft);
  MakeLabel(picColor, QStringLiteral("Text"), {192, 8, 0, 0}, Qt::white, Qt::AlignLeft);

  struct Option {
    const char* caption;
    int left, top, width;
  };
  static const Option options[ColourSlotCount] = {
      {"Inner", 48, 24, 49},    {"Outer", 48, 40, 49},  {"Dither A", 112, 24, 57},
      {"Caption", 192, 24, 57}, {"Shadow", 48, 56, 49}, {"Shadow", 192, 40, 57},
      {"Dither B", 112, 40, 57}};
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    auto* option = new QRadioButton(QString::fromLatin1(options[slot].caption), picColor);
    option->setGeometry(options[slot].left, options[slot].top, options[slot].width, 12);
    option->setFont(ArialFont(6.75));
    option->setAutoFillBackground(true);
    // A radio button fills its background from the Button role.
    SetColour(option, QPalette::Window, QColor(192, 255, 255));
    SetColour(option, QPalette::Button, QColor(192, 255, 255));
    SetColour(option, QPalette::WindowText, Qt::black);
    option->setStyleSheet(QStringLiteral("QRadioButton::indicator { width: 8px; height: 8px; }"));
    QObject::connect(option, &QRadioButton::clicked, option, [this, slot] { optCol_Click(slot); });
    optCol[slot] = option;
  }
  optCol[Inner]->setChecked(true);

  picCol = new PictureBox(picColor, 33, 41);
  picCol->move(0, 24);
  picCol->SetBackColor(0);
  picCol->MouseDown = [this](int button, QPointF) { picCol_MouseDown(button); };
  picCol->MouseUp = [this](int button, QPointF) { picCol_MouseUp(button); };
  picCol->MakeButton(QStringLiteral("Colour"));

  MakeLabel(picColor, QStringLiteral("Text:"), {-8, 80, 41, 17}, Qt::white,
            Qt::AlignRight | Qt::AlignTop);
  txtText = new QLineEdit(QStringLiteral("Flinder"), picColor);
  txtText->setGeometry(40, 80, 129, 19);
  txtText->setFont(ArialFont(8.25));
  txtText->setMaxLength(MaxCaptionLength);
  txtText->setValidator(new CodePageValidator(txtText));
  QObject::connect(txtText, &QLineEdit::textChanged, txtText, [this](const QString& text) {
    auto store = [this, &text] { settings_.Text = text.toStdString(); };
    if (showingCaption_)
      store();
    else
      history_.Record(QStringLiteral("Caption"), store, true);
  });

  auto* frames =
      MakeLabel(picColor, QStringLiteral("Frames:"), {184, 88, 0, 0}, Qt::white, Qt::AlignRight);
  frames->move(184, 88);
  lblFrame = MakeLabel(picColor, QStringLiteral("0"), {224, 88, 25, 17},
                       QPalette().color(QPalette::WindowText), Qt::AlignHCenter | Qt::AlignTop);
  GiveValueLook(lblFrame);
}

void ParameterPanel::SetupSliders() {
  for (int i = 1; i < RowCount; ++i) {
    const QLabel* above = lblSlider[i - 1];
    AddRow(above->y() + above->height());
  }
  picColor->move(10, 2 * picSlider[0]->height() + picSlider[RowCount - 1]->y());
  for (int i = 0; i < RowCount; ++i) {
    lblSlider[i]->setText(RowCaption(i));
    picSlider[i]->MakeSlider(RowCaption(i));
    picSlider[i]->SetAccessibleRange(SliderValue(i, 0), SliderValue(i, 1));
  }
  std::vector<QWidget*> order(picSlider.begin(), picSlider.end());
  order.push_back(picCol);
  for (int slot : {Inner, Outer, ShapeShadow, Back, Dither, Text, TextShadow})
    order.push_back(optCol[slot]);
  order.push_back(txtText);
  for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

QString ParameterPanel::RowCaption(int row) {
  return QString::fromLatin1(RowCaptions[row]);
}

void ParameterPanel::ShowValue(int row, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(lblSliderVal.size())) return;
  lblSliderVal[row]->setText(QString::fromStdString(text));
  picSlider[row]->SetAccessibleValue(QString::fromStdString(text));
}

void ParameterPanel::MoveThumb(int row, float position) {
  if (row < 0 || row >= static_cast<int>(picSlider.size())) return;
  DrawSliderThumb(picSlider[row]->Surface, position);
  picSlider[row]->update();
}

void ParameterPanel::ShowSwatchColour(ColourValue colour) {
  picCol->SetBackColor(colour);
  picCol->SetAccessibleValue(QStringLiteral("red %1, green %2, blue %3")
                                 .arg(GetRed(colour))
                                 .arg(GetGreen(colour))
                                 .arg(GetBlue(colour)));
}

void ParameterPanel::ShowSelectedSlot(int slot) {
  if (slot >= 0 && slot < ColourSlotCount) optCol[slot]->setChecked(true);
}

void ParameterPanel::ShowCaption(const std::string& text) {
  // Setting the box's text stores the same text back into the record.
  showingCaption_ = true;
  txtText->setText(QString::fromStdString(text));
  showingCaption_ = false;
}

void ParameterPanel::ShowFrameCount(const std::string& text) {
  lblFrame->setText(QString::fromStdString(text));
}

// A drag is one step, from the press to the release.
void ParameterPanel::picSlider_MouseDown(int index, int button, QPointF position) {
  if (button != LeftButton) return;
  history_.Begin(RowCaption(index));
  SetSliderTo(index, position);
}

void ParameterPanel::picSlider_MouseMove(int index, int button, QPointF position) {
  if (button == LeftButton) SetSliderTo(index, position);
}

void ParameterPanel::SetSliderTo(int index, QPointF position) {
  // Positions are whole pixels of the track, as the mouse reports them.
  const float x = static_cast<float>(std::floor(position.x()));
  const float width = static_cast<float>(picSlider[index]->width());
  settings_.SetSlider(static_cast<std::int16_t>(index), x / width);
}

bool ParameterPanel::picSlider_KeyDown(int index, int key) {
  static const std::pair<int, SliderKey> keys[] = {
      {Qt::Key_Left, SliderKey::StepDown},     {Qt::Key_Right, SliderKey::StepUp},
      {Qt::Key_PageDown, SliderKey::PageDown}, {Qt::Key_PageUp, SliderKey::PageUp},
      {Qt::Key_Home, SliderKey::Start},        {Qt::Key_End, SliderKey::End}};
  for (const auto& [code, move] : keys) {
    if (code != key) continue;
    const float position = KeyedSliderPosition(index, settings_.RowPosition(index), move);
    // A key held down is one step however long it repeats: X11 does not
    // mark its repeats, so they are told by the pause, as typing is.
    history_.Record(RowCaption(index),
                    [&] { settings_.SetSlider(static_cast<std::int16_t>(index), position); },
                    true);
    return true;
  }
  return false;
}

void ParameterPanel::optCol_Click(int index) {
  settings_.ShowColourSlot(index);
}

void ParameterPanel::picCol_MouseDown(int button) {
  if (button == LeftButton) picCol->SetBorder(true);
}

void ParameterPanel::picCol_MouseUp(int button) {
  if (button != LeftButton) return;
  picCol->SetBorder(false);
  PickColor();
}

void ParameterPanel::PickColor() {
  std::optional<ColourValue> picked = dialogs_.PickColour(parentWindow_, dlgAnim_.Color);
  if (!picked) return;
  dlgAnim_.Color = *picked;
  history_.Record(QStringLiteral("Colour"), [&] { settings_.ApplyPickedColour(*picked); });
}

}  // namespace flinder
