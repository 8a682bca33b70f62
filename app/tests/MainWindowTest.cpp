#include <QAction>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

#include "AppTestSupport.h"

namespace flinder {

class MainWindowTest : public QObject {
  Q_OBJECT

  // Every toggle with its switch, menu item and tool button.
  struct Toggle {
    Switch which;
    QAction* item;
    int button;
  };
  static std::vector<Toggle> Toggles(frmMain& w) {
    return {{Switch::Star, w.Menus.mnuStar, 1},
            {Switch::ShowText, w.Menus.mnuText, 3},
            {Switch::ViewShapeShadow, w.Menus.mnuShapeShadow, 2},
            {Switch::ViewTextShadow, w.Menus.mnuTextShadow, 4}};
  }

 private slots:
  void MenuCheckToolButtonBorderAndRecordMoveTogether() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f));
    frmMain& w = *started.Window;
    for (const Toggle& t : Toggles(w)) {
      auto expectOn = [&](bool on) {
        QCOMPARE(w.Settings.SwitchOn(t.which), on);
        QCOMPARE(t.item->isChecked(), on);
        QCOMPARE(w.cmdAdd.at(t.button)->HasBorder(), on);
      };
      expectOn(false);
      Click(w.cmdAdd.at(t.button));
      expectOn(true);
      t.item->trigger();
      expectOn(false);
      t.item->trigger();
      expectOn(true);
      // A release of another button only takes the border away.
      Click(w.cmdAdd.at(t.button), Qt::RightButton);
      QVERIFY(!w.cmdAdd.at(t.button)->HasBorder());
      QVERIFY(w.Settings.SwitchOn(t.which) && t.item->isChecked());
      // The release goes to the pressed button wherever it happens.
      Click(w.cmdAdd.at(t.button), Qt::LeftButton, {300, 200});
      expectOn(false);
    }
  }

  void TheStarClearsTheLineAndThePolygonMarkIsItsOpposite() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f, [](ShapeSettings& s) {
      s.SetSwitch(Switch::ViewLine, true);
      s.SetSwitch(Switch::ViewLineShadow, true);
    }));
    frmMain& w = *started.Window;
    QVERIFY(w.Menus.mnuLine->isChecked() && w.Menus.mnuPolygon->isChecked());
    QVERIFY(!w.Menus.mnuLine->isVisible() && !w.Menus.mnuPolygon->isVisible());
    w.ToggleStar();
    QVERIFY(!w.Settings.ViewLine && !w.Menus.mnuLine->isChecked());
    QVERIFY(!w.Menus.mnuPolygon->isChecked());
    QVERIFY(w.Settings.ViewLineShadow);
    w.ToggleStar();
    QVERIFY(w.Menus.mnuPolygon->isChecked() && !w.Settings.ViewLine);

    w.Menus.mnuOnTop->trigger();
    QVERIFY(w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    w.Menus.mnuOnTop->trigger();
    QVERIFY(!w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
  }

  void TheBackdropFillsTheWindowAndNeverGetsShorterThanThePreview() {
    // Width and Height 180 pixels.
    StartedWindow started(DesignFileOf({"Disc"}, 0.4f));
    frmMain& w = *started.Window;
    QCOMPARE(w.ClientSize(), QSize(481, 314));
    QCOMPARE(w.picPlate->geometry(), QRect(280, 0, 201, 314));
    QCOMPARE(w.picAnim->geometry(), QRect(10, 67, 180, 180));

    w.resize(600, 400 + w.menuBar()->height());
    QCOMPARE(w.picPlate->geometry(), QRect(280, 0, 320, 400));
    QCOMPARE(w.picAnim->pos(), QPoint(70, 110));

    // Too short: the backdrop keeps the preview plus 10 and the window's
    // outer height is set to that; the nested pass cannot make it taller.
    w.resize(600, 100 + w.menuBar()->height());
    QCOMPARE(w.picPlate->height(), 190);
    QCOMPARE(w.frameGeometry().height(), 190);
    QCOMPARE(w.picAnim->y(), 5);

    // Too narrow: the window's outer width becomes the backdrop's right
    // edge, so the borders come off the backdrop.
    const int borders = w.frameGeometry().width() - w.width();
    w.resize(250, 400);
    QCOMPARE(w.frameGeometry().width(), 280 + 320);
    QCOMPARE(w.picPlate->width(), 320 - borders);

    // A window held narrower than the backdrop's left edge: width 0, not less.
    w.setMaximumWidth(250);
    w.resize(250, 400);
    QCOMPARE(w.width(), 250);
    QCOMPARE(w.picPlate->width(), 0);
  }

  void NothingIsLaidOutWhileMinimised() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.4f));
    frmMain& w = *started.Window;
    w.setWindowState(Qt::WindowMinimized);
    w.resize(700, 400 + w.menuBar()->height());
    QCOMPARE(w.picPlate->width(), 201);
    w.setWindowState(Qt::WindowNoState);
    QCOMPARE(w.picPlate->geometry(), QRect(280, 0, 420, 400));
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::MainWindowTest)
#include "MainWindowTest.moc"
