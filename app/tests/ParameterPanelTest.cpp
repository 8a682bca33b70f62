#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "AppTestSupport.h"
#include "render/SliderThumb.h"

namespace flinder {
class ParameterPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void AClickOrDragOnATrackGivesThePixelOverTheWidthClampedAtTheEnds() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    ParameterPanel& panel = *started.Window->Panel;
    PictureBox* track = panel.picSlider[Radius];
    const int width = track->width();
    QCOMPARE(width, 185);
    const ShapeSettings& settings = started.Window->Settings;

    Press(track, Qt::LeftButton, {0, 4}, Qt::LeftButton);
    QCOMPARE(settings.SliderPos(Radius), 0.0f);
    QCOMPARE(panel.lblSliderVal[Radius]->text(), QString("0"));

    Move(track, {width - 1, 4}, Qt::LeftButton);
    QCOMPARE(settings.SliderPos(Radius), float(width - 1) / float(width));
    QCOMPARE(panel.lblSliderVal[Radius]->text(), QString("99"));

    Move(track, {width + 40, 4}, Qt::LeftButton);  // dragged past the end
    Release(track, Qt::LeftButton, {width + 40, 4}, Qt::NoButton);
    QCOMPARE(settings.SliderPos(Radius), 1.0f);
    QCOMPARE(panel.lblSliderVal[Radius]->text(), QString("100"));

    // The Delay row also sets the preview's pace.
    Press(panel.picSlider[Delay], Qt::LeftButton, {0, 4}, Qt::LeftButton);
    QCOMPARE(started.Window->timAnim.interval(), 1);
  }

  void OnlyTheLeftButtonAloneMovesASlider() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    PictureBox* track = started.Window->Panel->picSlider[Sides];
    const ShapeSettings& settings = started.Window->Settings;

    Press(track, Qt::RightButton, {10, 4}, Qt::RightButton);
    Move(track, {20, 4}, Qt::RightButton);
    Release(track, Qt::RightButton, {20, 4}, Qt::NoButton);
    QCOMPARE(settings.SliderPos(Sides), 0.5f);

    Press(track, Qt::LeftButton, {50, 4}, Qt::LeftButton);
    Press(track, Qt::RightButton, {60, 4}, Qt::LeftButton | Qt::RightButton);
    Move(track, {100, 4}, Qt::LeftButton | Qt::RightButton);
    Press(track, Qt::MiddleButton, {120, 4}, Qt::MiddleButton);
    QCOMPARE(settings.SliderPos(Sides), 50.0f / 185.0f);
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

    std::vector<float> before;
    for (int i = 0; i < SliderCount; ++i) before.push_back(window.Settings.SliderPos(i));
    Press(panel.picSlider[RedSlider], Qt::LeftButton, {0, 4}, Qt::LeftButton);
    for (int i = 0; i < SliderCount; ++i)
      if (i != ColourIndex(Text, 0)) QCOMPARE(window.Settings.SliderPos(i), before[i]);
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

QTEST_MAIN(flinder::ParameterPanelTest)
#include "ParameterPanelTest.moc"
