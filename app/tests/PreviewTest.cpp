#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "AppTestSupport.h"

namespace flinder {

class PreviewTest : public QObject {
  Q_OBJECT

  // Width and Height 200 pixels; Delay 10 (and 11 with `slower`).
  static std::string DiscFile() { return DesignFileOf({"Disc"}, 0.451f, SetDelay(10)); }
  static std::function<void(ShapeSettings&)> SetDelay(int milliseconds) {
    return [milliseconds](ShapeSettings& s) {
      s.SetSlider(Delay, (static_cast<float>(milliseconds) - 0.5f) / 999.0f);
    };
  }

 private slots:
  void TicksDrawOnlyWhileADesignIsCurrent() {
    StartedWindow empty;
    const Raster initial = empty.Window->picAnim->Surface.Capture();
    QTest::qWait(60);
    QCOMPARE(empty.Window->picAnim->Surface.Capture(), initial);
    QCOMPARE(empty.Window->Panel->lblFrame->text(), QString("0"));

    StartedWindow started(DiscFile());
    frmMain& w = *started.Window;
    QCOMPARE(w.timAnim.interval(), 10);
    QCOMPARE(w.timAnim.timerType(), Qt::PreciseTimer);
    QCOMPARE(w.picAnim->size(), QSize(200, 200));
    QTRY_VERIFY_WITH_TIMEOUT(w.Renderer.Angle != 0, 2000);
    const Raster drawn = w.picAnim->Surface.Capture();
    QCOMPARE(drawn.Width, 200);
    QVERIFY(drawn != Raster(200, 200, initial.Pixels[0]));

    // With no current design the box keeps its last picture.
    w.Settings.CurrentShape.clear();
    const Raster last = w.picAnim->Surface.Capture();
    const double angle = w.Renderer.Angle;
    QTest::qWait(60);
    QCOMPARE(w.picAnim->Surface.Capture(), last);
    QCOMPARE(w.Renderer.Angle, angle);
  }

  void LeftDragMovesTheShapeRightDragTheCaptionClampedToTheBox() {
    StartedWindow started(DiscFile());
    frmMain& w = *started.Window;
    PictureBox* box = w.picAnim;
    ShapeSettings& s = w.Settings;

    Press(box, Qt::LeftButton, {50, 20}, Qt::LeftButton);
    QVERIFY(started.Dialogs.Messages.isEmpty());  // Delay 10 is fast enough
    Move(box, {50, 150}, Qt::LeftButton);
    QCOMPARE(s.PosX, 0.25);
    QCOMPARE(s.PosY, 0.75);
    Move(box, {-30, 500}, Qt::LeftButton);  // held outside the box
    QCOMPARE(s.PosX, 0.0);
    QCOMPARE(s.PosY, 1.0);
    Move(box, {900, -4}, Qt::LeftButton);
    QCOMPARE(s.PosX, 1.0);
    QCOMPARE(s.PosY, 0.0);
    Release(box, Qt::LeftButton, {900, -4}, Qt::NoButton);

    const double textX = s.TextX, textY = s.TextY;
    Move(box, {10, 10}, Qt::LeftButton | Qt::RightButton);
    Move(box, {10, 10}, Qt::MiddleButton);
    QCOMPARE(s.TextX, textX);
    QCOMPARE(s.TextY, textY);
    QCOMPARE(s.PosX, 1.0);

    Press(box, Qt::RightButton, {100, 40}, Qt::RightButton);
    Move(box, {100, 40}, Qt::RightButton);
    Release(box, Qt::RightButton, {100, 40}, Qt::NoButton);
    QCOMPARE(s.TextX, 0.5);
    QCOMPARE(s.TextY, 0.2);
    QCOMPARE(s.PosX, 1.0);
    // A right click in the box moves the caption and opens no menu.
    QVERIFY(!w.Menus.mnuView->isVisible());
    QVERIFY(started.Dialogs.Messages.isEmpty());
  }

  void ADelayOverTenAsksForAFasterOneAtEveryLeftPress() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.451f, SetDelay(11)));
    frmMain& w = *started.Window;
    QCOMPARE(w.Settings.SliderVal(Delay), 11.0f);
    const QString message = "Please set the delay below 10 while moving shapes.";
    Press(w.picAnim, Qt::LeftButton, {20, 20}, Qt::LeftButton);
    Move(w.picAnim, {100, 20}, Qt::LeftButton);
    Release(w.picAnim, Qt::LeftButton, {100, 20}, Qt::NoButton);
    Press(w.picAnim, Qt::RightButton, {20, 20}, Qt::RightButton);
    Release(w.picAnim, Qt::RightButton, {20, 20}, Qt::NoButton);
    Press(w.picAnim, Qt::LeftButton, {20, 20}, Qt::LeftButton);
    QCOMPARE(started.Dialogs.Messages, QStringList({message, message}));
    QCOMPARE(w.Settings.PosX, 0.5);  // the drag went on

    // A real message box takes the pointer; the shape still follows it while
    // the button is held, and the release ends the drag.
    started.Dialogs.WhileMessageShows = [] {
      QMessageBox box;
      QTimer::singleShot(0, &box, &QMessageBox::accept);
      box.exec();
    };
    QWindow* window = w.windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, w.picAnim->mapTo(&w, QPoint(20, 20)));
    QTest::mouseMove(window, w.picAnim->mapTo(&w, QPoint(w.picAnim->width() + 30, 20)));
    QCOMPARE(w.Settings.PosX, 1.0);
    QTest::mouseRelease(window, Qt::LeftButton, {}, w.picAnim->mapTo(&w, QPoint(30, 20)));
    QVERIFY(!QWidget::mouseGrabber());
  }

  void ARightReleaseOverTheBackdropPopsUpTheViewMenu() {
    StartedWindow started(DiscFile());
    frmMain& w = *started.Window;
    Press(w.picPlate, Qt::LeftButton, {5, 5}, Qt::LeftButton);
    Release(w.picPlate, Qt::LeftButton, {5, 5}, Qt::NoButton);
    QVERIFY(!w.Menus.mnuView->isVisible());
    Press(w.picPlate, Qt::RightButton, {5, 5}, Qt::RightButton);
    Release(w.picPlate, Qt::RightButton, {5, 5}, Qt::NoButton);
    QVERIFY(w.Menus.mnuView->isVisible());
    w.Menus.mnuView->close();
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::PreviewTest)
#include "PreviewTest.moc"
