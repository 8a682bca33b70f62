#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>

#include "AppTestSupport.h"
#include "design/DecimalText.h"
#include "design/SliderKeys.h"
#include "files/FileAccess.h"
#include "render/SliderThumb.h"

namespace flinder {

// Editing a design: the parameter panel's sliders and colours with mouse
// and keys, shortcuts, screen readers, Copy Picture, undo and redo.
class EditingTest : public QObject {
  Q_OBJECT

  static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
  }
  static QString Label(frmMain& w, int row) { return w.Panel->lblSliderVal[row]->text(); }
  static QString Read(QWidget* widget) {
    QAccessibleInterface* readable = QAccessible::queryAccessibleInterface(widget);
    return readable->text(QAccessible::Name) + ", " + readable->text(QAccessible::Value);
  }

 private slots:
  void KeysMoveTheFocusedSliderAndReachTheDesignFileAfterUpdate() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    frmMain& w = *started.Window;
    ParameterPanel& panel = *w.Panel;
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), w.cmbAnim);
    Key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), panel.picSlider[Sides]);
    Key(Qt::Key_Right);
    QCOMPARE(Label(w, Sides), QString("14"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_PageUp);
    QCOMPARE(Label(w, Radius), QString("60"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Right);  // Speed passes over 0.1
    QCOMPARE(Label(w, Speed), QString("0.2"));
    Key(Qt::Key_Left);
    QCOMPARE(Label(w, Speed), QString("0"));
    Key(Qt::Key_End);
    QCOMPARE(Label(w, Speed), QString("5"));
    // A click on a track takes the focus; a step from where it put the
    // thumb is one value.
    QTest::mouseClick(panel.picSlider[Delay], Qt::LeftButton, {}, {5, 4});
    QCOMPARE(QApplication::focusWidget(), panel.picSlider[Delay]);
    QCOMPARE(Label(w, Delay), QString("28"));
    Key(Qt::Key_Left);
    QCOMPARE(Label(w, Delay), QString("27"));
    QCOMPARE(w.timAnim.interval(), 27);

    w.mnuUpdate_Click();
    const IniDocument file(started.FileText());
    QCOMPARE(file.Read("Disc", "Slider0"), std::string("0.55"));
    QCOMPARE(file.Read("Disc", "Slider1"), std::string("0.6"));
    QCOMPARE(file.Read("Disc", "Slider2"), std::string("1"));
  }

  void ScreenReadersReadNamesAndValuesAndSpacePressesButtons() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    frmMain& w = *started.Window;
    ParameterPanel& panel = *w.Panel;
    QCOMPARE(Read(panel.picSlider[Sides]), QString("Sides, 13"));
    QAccessibleInterface* sides = QAccessible::queryAccessibleInterface(panel.picSlider[Sides]);
    QCOMPARE(sides->role(), QAccessible::Slider);
    QCOMPARE(sides->valueInterface()->maximumValue().toDouble(), 23.0);
    QCOMPARE(Read(w.cmdAdd.at(1)), QString("Polygon/star, off"));
    QCOMPARE(Read(panel.picCol), QString("Colour, red 127, green 127, blue 127"));
    QCOMPARE(Read(w.picAnim), QString("Preview, Disc"));

    QTest::keyClick(w.cmdAdd.at(1), Qt::Key_Space);
    QVERIFY(w.Settings.Star);
    QCOMPARE(Read(w.cmdAdd.at(1)), QString("Polygon/star, on"));
    QTest::keyClick(panel.optCol[Outer], Qt::Key_Space);
    QCOMPARE(w.Settings.SelectedSlot, int(Outer));
    started.Dialogs.ColourAnswers.push_back(MakeColour(1, 2, 3));
    QTest::keyClick(panel.picCol, Qt::Key_Space);
    QCOMPARE(Read(panel.picCol), QString("Colour, red 1, green 2, blue 3"));
    QCOMPARE(w.Settings.PlainColour(Outer), MakeColour(1, 2, 3));
  }

  void ShortcutsActWhereverTheFocusIsButTheCaptionBoxKeepsItsOwn() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    frmMain& w = *started.Window;
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.Panel->picSlider[Radius]->setFocus();
    Key(Qt::Key_End);
    QCOMPARE(w.Menus.mnuUndo->text(), QString("&Undo Radius"));
    w.cmbAnim->setFocus();
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Label(w, Radius), QString("50"));
    QCOMPARE(w.Menus.mnuRedo->text(), QString("&Redo Radius"));
    Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Label(w, Radius), QString("100"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Label(w, Radius), QString("100"));

    QLineEdit* caption = w.Panel->txtText;
    caption->setFocus();
    Type(caption, "!");
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(caption->text(), QString("Flinder"));
    QCOMPARE(Label(w, Radius), QString("100"));
    caption->selectAll();
    Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("Flinder"));
  }

  void CopyPictureCopiesThePreviewBeforeAnExportAndTheFileAfterOne() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.1f));
    frmMain& w = *started.Window;
    w.timAnim_Timer();
    w.Menus.mnuCopyPicture->trigger();
    // The preview's raster, pixel for pixel, as the box shows it.
    const QImage preview =
        qvariant_cast<QImage>(QApplication::clipboard()->mimeData()->imageData());
    const Raster& raster = w.picAnim->Surface.Capture();
    QCOMPARE(preview.size(), QSize(raster.Width, raster.Height));
    for (int y = 0; y < raster.Height; ++y)
      for (int x = 0; x < raster.Width; ++x) {
        const QRgb pixel = preview.pixel(x, y);
        QCOMPARE(MakeColour(qRed(pixel), qGreen(pixel), qBlue(pixel)), raster.At(x, y));
      }

    const std::string out = started.AnswerSave("Disc.gif");
    Click(w.cmdAdd.at(0));
    QVERIFY(ExportEnds(w));
    w.Menus.mnuCopyPicture->trigger();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QCOMPARE(copied->data("image/gif"), QByteArray::fromStdString(*ReadFileBytes(out)));
    QCOMPARE(copied->urls(), QList{QUrl::fromLocalFile(QString::fromStdString(out))});
  }

  // One edit of each kind, each a step of its own; undoing and redoing them
  // all walks the record back and forth, the panel, buttons and menus with it.
  void EveryKindOfEditUndoesAndRedoesWithTheWidgetsInStep() {
    StartedWindow started(DesignFileOf({"Disc", "Other"}, 0.5f));
    frmMain& w = *started.Window;
    ParameterPanel& panel = *w.Panel;
    started.Dialogs.ColourAnswers.push_back(MakeColour(10, 20, 30));
    started.Dialogs.FontAnswers.push_back(CaptionFont{"Serif", 20});
    const std::pair<QString, std::function<void()>> edits[] = {
        {"Radius",
         [&] {
           Drag(panel.picSlider[Radius], Qt::LeftButton, {{10, 4}, {20, 4}, {40, 4}});
         }},
        {"Sides", [&] { QTest::keyClick(panel.picSlider[Sides], Qt::Key_Right); }},
        {"Colour", [&] { Click(panel.picCol); }},
        {"Star", [&] { Click(w.cmdAdd.at(1)); }},
        {"Bring to Front", [&] { w.Menus.mnuTextFront->trigger(); }},
        {"Caption", [&] { Type(panel.txtText, "abc"); }},
        {"Font", [&] { w.Menus.mnuFont->trigger(); }},
        {"Move Shape",
         [&] {
           Drag(w.picAnim, Qt::LeftButton, {{1, 1}, {10, 10}, {20, 30}});
         }},
    };
    auto shown = [&](const DesignState& expected) {
      const ShapeSettings& s = w.Settings;
      QVERIFY(StateOf(s).SameDesign(expected));
      for (int row = 0; row < ParameterPanel::RowCount; ++row)
        QCOMPARE(Label(w, row),
                 QString::fromStdString(SingleText(SliderValue(row, s.RowPosition(row)))));
      QVERIFY(panel.optCol[s.SelectedSlot]->isChecked());
      QCOMPARE(panel.picCol->Surface.BackColor(), s.PlainColour(s.SelectedSlot));
      QCOMPARE(w.cmdAdd.at(1)->HasBorder(), s.Star);
      QCOMPARE(w.Menus.mnuTextFront->isChecked(), s.TextFront);
      QCOMPARE(panel.txtText->text().toStdString(), s.Text);
    };
    std::vector<DesignState> states{StateOf(w.Settings)};
    for (const auto& [name, edit] : edits) {
      edit();
      QCOMPARE(w.Menus.mnuUndo->text(), "&Undo " + name);
      QVERIFY(!StateOf(w.Settings).SameDesign(states.back()));
      states.push_back(StateOf(w.Settings));
    }
    QCOMPARE(w.History.Stack.count(), int(std::size(edits)));
    QVERIFY(states.at(7).Font.FontName == "Serif" && states.at(7).SelectedSlot == Text);
    for (size_t step = states.size() - 1; step > 0; --step) {
      w.Menus.mnuUndo->trigger();
      shown(states[step - 1]);
    }
    QVERIFY(!w.Menus.mnuUndo->isEnabled());
    for (size_t step = 1; step < states.size(); ++step) {
      w.Menus.mnuRedo->trigger();
      shown(states[step]);
    }

    // Undo writes nothing; another design starts a history of its own.
    const std::string file = started.FileText();
    w.Menus.mnuUndo->trigger();
    QCOMPARE(started.FileText(), file);
    w.cmbAnim->setCurrentIndex(1);
    w.cmbAnim_Click();
    QVERIFY(!w.Menus.mnuUndo->isEnabled() && !w.Menus.mnuRedo->isEnabled());
  }

  // A drag is one step, whatever keys are pressed meanwhile: Undo waits,
  // greyed, for the release. A slider key held down is one step too.
  void ADragAndAHeldKeyAreEachOneStep() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    frmMain& w = *started.Window;
    PictureBox* track = w.Panel->picSlider[Width];
    w.ToggleStar();
    Press(track, Qt::LeftButton, {20, 4}, Qt::LeftButton);
    QVERIFY(!w.Menus.mnuUndo->isEnabled() && !w.Menus.mnuRedo->isEnabled());
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(track, Qt::Key_Right);
    Move(track, {90, 4}, Qt::LeftButton);
    Release(track, Qt::LeftButton, {90, 4}, Qt::NoButton);
    const float released = w.Settings.SliderPos(Width);
    for (int i = 0; i < 40; ++i) QTest::keyClick(track, Qt::Key_Right);
    QCOMPARE(w.History.Stack.count(), 3);
    w.Menus.mnuUndo->trigger();
    QCOMPARE(w.Settings.SliderPos(Width), released);
    w.Menus.mnuUndo->trigger();
    QVERIFY(w.Settings.Star && w.Settings.SliderPos(Width) == 0.5f);
    w.Menus.mnuRedo->trigger();
    QCOMPARE(w.Settings.SliderPos(Width), released);
  }

  // The thumb goes to the pixel over the width, clamped at the ends, while
  // the left button alone is held.
  void OnlyTheLeftButtonMovesASliderToThePixelOverTheWidth() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    ParameterPanel& panel = *started.Window->Panel;
    PictureBox* track = panel.picSlider[Radius];
    const ShapeSettings& settings = started.Window->Settings;
    QCOMPARE(track->width(), 185);
    Drag(track, Qt::RightButton, {{10, 4}, {20, 4}});
    QCOMPARE(settings.SliderPos(Radius), 0.5f);

    Press(track, Qt::LeftButton, {0, 4}, Qt::LeftButton);
    QCOMPARE(panel.lblSliderVal[Radius]->text(), QString("0"));
    Move(track, {184, 4}, Qt::LeftButton);
    QCOMPARE(settings.SliderPos(Radius), 184.0f / 185.0f);
    QCOMPARE(panel.lblSliderVal[Radius]->text(), QString("99"));
    Move(track, {225, 4}, Qt::LeftButton);  // dragged past the end
    QCOMPARE(panel.lblSliderVal[Radius]->text(), QString("100"));
    Press(track, Qt::RightButton, {60, 4}, Qt::LeftButton | Qt::RightButton);
    Move(track, {100, 4}, Qt::LeftButton | Qt::RightButton);
    Press(track, Qt::MiddleButton, {120, 4}, Qt::MiddleButton);
    QCOMPARE(settings.SliderPos(Radius), 1.0f);
  }

  void AColourOptionShowsItsSlotAndTheColourRowsThenEditOnlyThatSlot() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f, [](ShapeSettings& s) {
      s.SelectSlot(Text);
      s.SetSlider(RedSlider, 0.2f);
      s.SetSlider(GreenSlider, 0.4f);
      s.SetSlider(BlueSlider, 0.6f);
    }));
    frmMain& window = *started.Window;
    ParameterPanel& panel = *window.Panel;
    QVERIFY(panel.optCol[Inner]->isChecked());  // a load leaves slot 0 selected
    const QImage option = panel.optCol[Outer]->grab().toImage();
    QCOMPARE(option.pixelColor(option.width() - 2, 2), QColor(192, 255, 255));

    QTest::mouseClick(panel.optCol[Text], Qt::LeftButton);
    QVERIFY(panel.optCol[Text]->isChecked());
    QCOMPARE(window.Settings.SelectedSlot, int(Text));
    QCOMPARE(panel.lblSliderVal[RedSlider]->text(), QString("51"));
    QCOMPARE(panel.lblSliderVal[GreenSlider]->text(), QString("102"));
    QCOMPARE(panel.lblSliderVal[BlueSlider]->text(), QString("153"));
    QCOMPARE(panel.picCol->Surface.BackColor(), MakeColour(51, 102, 153));

    const ColourValue inner = window.Settings.PlainColour(Inner);
    Press(panel.picSlider[RedSlider], Qt::LeftButton, {0, 4}, Qt::LeftButton);
    QCOMPARE(window.Settings.PlainColour(Inner), inner);
    QCOMPARE(window.Settings.SliderVal(ColourIndex(Text, 0)), 0.0f);
    QCOMPARE(panel.picCol->Surface.BackColor(), MakeColour(0, 102, 153));
  }

  void ThePickedColourIsSplitIntoTheSlotWhileBlackAndCancelChangeNothing() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    frmMain& window = *started.Window;
    PictureBox* swatch = window.Panel->picCol;
    auto inner = [&] { return window.Settings.PlainColour(Inner); };
    auto pick = [&](std::optional<ColourValue> answer) {
      started.Dialogs.ColourAnswers.push_back(answer);
      Press(swatch, Qt::LeftButton, {5, 5}, Qt::LeftButton);
      QVERIFY(swatch->HasBorder());  // the pressed look
      Release(swatch, Qt::LeftButton, {5, 5}, Qt::NoButton);
      QVERIFY(!swatch->HasBorder());
    };

    pick(MakeColour(18, 35, 10));
    QCOMPARE(inner(), MakeColour(18, 35, 10));
    QCOMPARE(swatch->Surface.BackColor(), MakeColour(18, 35, 10));
    pick(MakeColour(0, 0, 0));
    pick(std::nullopt);
    QCOMPARE(inner(), MakeColour(18, 35, 10));
    pick(MakeColour(1, 0, 0));
    QCOMPARE(inner(), MakeColour(1, 0, 0));
    // The dialog opens on the colour last picked in it; black counts as picked.
    const std::vector<ColourValue> openedOn = {0, MakeColour(18, 35, 10), 0, 0};
    QCOMPARE(started.Dialogs.ColourDialogOpenedOn, openedOn);

    // The right button neither presses the swatch nor opens the dialog.
    Press(swatch, Qt::RightButton, {5, 5}, Qt::RightButton);
    QVERIFY(!swatch->HasBorder());
    Release(swatch, Qt::RightButton, {5, 5}, Qt::NoButton);
    QCOMPARE(started.Dialogs.ColourDialogOpenedOn.size(), std::size_t{4});
  }

  void AnEmptyDesignFileStartsWithBareRowsAndTheCaptionBoxEditsTheCaption() {
    StartedWindow started("\n");
    ParameterPanel& panel = *started.Window->Panel;
    QCOMPARE(int(panel.picSlider.size()), ParameterPanel::RowCount);
    for (int row = 0; row < ParameterPanel::RowCount; ++row) {
      QCOMPARE(panel.lblSliderVal[row]->text(), QString("0"));
      const Raster& track = panel.picSlider[row]->Surface.Capture();
      QVERIFY(std::all_of(track.Pixels.begin(), track.Pixels.end(),
                          [](ColourValue c) { return c == SliderTrackColour; }));
    }
    QCOMPARE(panel.picColor->pos(), QPoint(10, 170));
    QVERIFY(started.Dialogs.Messages.isEmpty());

    // The caption box holds what the design file can read back, in its code page.
    QLineEdit* caption = panel.txtText;
    caption->clear();
    Type(caption, QString(260, QChar('x')));
    QCOMPARE(caption->text().size(), 249);
    QCOMPARE(started.Window->Settings.Text, std::string(249, 'x'));
    caption->clear();
    Type(caption, QString::fromUtf8("Caf\u00e9 \u20ac\u263a"));
    QCOMPARE(started.Window->Settings.Text, std::string("Caf\u00e9 \u20ac"));
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::EditingTest)
#include "EditingTest.moc"
