#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>

#include "AppTestSupport.h"
#include "design/DecimalText.h"

namespace flinder {

// The main window: start-up and exit, its toggles, its layout and the
// preview box.
class MainWindowTest : public QObject {
  Q_OBJECT

  static bool OnTop(frmMain& w) {
    return w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
  }

  // Where a first start puts the window, in twips, as written.
  static std::pair<std::string, std::string> CentredPlace(frmMain& w) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize outer = w.frameGeometry().size();
    return {DoubleText((screen.width() * 15.0 - outer.width() * 15.0) / 2),
            DoubleText((screen.height() * 15.0 - outer.height() * 15.0) / 2)};
  }

  static int CentredX(frmMain& w) {
    return int(std::lround(std::stod(CentredPlace(w).first) / 15));
  }

  static void ExpectCentredAndWritten(StartedWindow& started) {
    auto [left, top] = CentredPlace(*started.Window);
    QCOMPARE(*started.Window->Designs.ReadIni("Window", "Left"), left);
    QCOMPARE(*started.Window->Designs.ReadIni("Window", "Top"), top);
    QCOMPARE(started.Window->x(), int(std::lround(std::stod(left) / 15)));
    QCOMPARE(started.Window->y(), int(std::lround(std::stod(top) / 15)));
  }

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

  // Width and Height 200 pixels; Delay 10 (and 11 with `slower`).
  static std::string DiscFile() { return DesignFileOf({"Disc"}, 0.451f, SetDelay(10)); }
  static std::function<void(ShapeSettings&)> SetDelay(int milliseconds) {
    return [milliseconds](ShapeSettings& s) {
      s.SetSlider(Delay, (static_cast<float>(milliseconds) - 0.5f) / 999.0f);
    };
  }

 private slots:
  void initTestCase() {
    // The numbers below assume the usual 96 dots per inch.
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96.0);
  }

  void AFirstStartCentresTheWindowAndWritesOnlyItsPlace() {
    StartedWindow started;
    ExpectCentredAndWritten(started);
    auto [left, top] = CentredPlace(*started.Window);
    QCOMPARE(started.FileText(), "[Window]\nLeft=" + left + "\nTop=" + top + "\n");
    QVERIFY(!started.Window->Menus.mnuOnTop->isChecked() && !OnTop(*started.Window));
    QVERIFY(started.Window->Settings.CurrentShape.empty());
    QVERIFY(started.Window->timAnim.isActive());
    QVERIFY(started.Dialogs.Messages.isEmpty());
  }

  void AStoredPlaceIsUsedUnlessItIsTheCornerOrUnreachable() {
    {
      StartedWindow started("[Window]\nLeft=0\nTop=0\n");
      ExpectCentredAndWritten(started);
    }
    {
      const std::string file = "[Window]\nLeft= 0\nTop=300.4xyz\n";
      StartedWindow started(file);
      QCOMPARE(started.Window->pos(), QPoint(0, 20));
      QCOMPARE(started.FileText(), file);
    }
    // Off every screen, or beyond any number of pixels: a window nobody
    // could reach is centred instead.
    for (const char* left : {"-150000", "1e300", "-1e39"}) {
      StartedWindow started(std::string("[Window]\nLeft=") + left + "\nTop=3000\n");
      ExpectCentredAndWritten(started);
    }
  }

  void ExitWritesThePlaceAndTopmostStateAndEndsTheProgram() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.5f) + "[Window]\nLeft=1500\nTop=750\n");
    frmMain& w = *started.Window;
    w.ToggleOnTop();
    w.move(40, 33);
    w.Settings.SetSlider(Radius, 0.9f);  // the design is not saved at exit
    QSignalSpy ended(&w, &frmMain::Ended);
    w.Menus.mnuExit->trigger();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!w.isVisible());
    QCOMPARE(*w.Designs.ReadIni("Window", "Left"), "600");
    QCOMPARE(*w.Designs.ReadIni("Window", "Top"), "495");
    QCOMPARE(*w.Designs.ReadIni("Window", "OnTop"), "True");
    QCOMPARE(*w.Designs.ReadIni("Disc", "Slider1"), "0.5");

    StartedWindow again(started.FileText());
    QVERIFY(OnTop(*again.Window));
    QCOMPARE(again.Window->pos(), QPoint(40, 33));
  }

  void TheFirstDesignInAlphabeticalOrderIsLoaded() {
    StartedWindow started(DesignFileOf({"beta", "Alpha", "gamma"}, 0.5f));
    QCOMPARE(ListedNames(*started.Window), QStringList({"Alpha", "beta", "gamma"}));
    QCOMPARE(started.Window->cmbAnim->currentIndex(), 0);
    QCOMPARE(started.Window->Settings.CurrentShape, std::string("Alpha"));
    QCOMPARE(started.Window->Settings.SliderVal(Sides), 13.0f);
    QCOMPARE(started.Window->timAnim.interval(), 500);
    QVERIFY(started.Window->timAnim.isActive());
  }

  void ADesignFileThatCannotBeReadIsReportedOnceAndNeverWritten() {
    StartedWindow started("", false);
    std::filesystem::create_directory(started.IniFile());  // exists, cannot be read
    bool overPlacedWindow = false;
    started.Dialogs.WhileMessageShows = [&] {
      frmMain& w = *started.Window;
      overPlacedWindow = w.Panel->lblSlider.size() == 13 && w.pos() == QPoint(CentredX(w), w.y());
    };
    started.Start();
    QVERIFY(overPlacedWindow);
    QCOMPARE(started.Dialogs.Messages.size(), 1);
    QVERIFY(started.Dialogs.Messages[0].contains(QString::fromStdString(started.IniFile())));
    QVERIFY(started.Dialogs.Messages[0].endsWith(": Is a directory"));
    QCOMPARE(started.Window->cmbAnim->count(), 0);
    QVERIFY(started.Window->timAnim.isActive());
    started.Window->close();
    QVERIFY(std::filesystem::is_directory(started.IniFile()));
    QCOMPARE(std::distance(std::filesystem::directory_iterator(started.scratch_.Folder), {}), 1);
  }

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
    QVERIFY(OnTop(w));
    w.Menus.mnuOnTop->trigger();
    QVERIFY(!OnTop(w));
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

    // Nothing is laid out while minimised.
    w.setMaximumWidth(QWIDGETSIZE_MAX);
    w.setWindowState(Qt::WindowMinimized);
    w.resize(700, 400 + w.menuBar()->height());
    QCOMPARE(w.picPlate->width(), 0);
    w.setWindowState(Qt::WindowNoState);
    QCOMPARE(w.picPlate->geometry(), QRect(280, 0, 420, 400));
  }

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
    auto shape = [&s] { return std::pair(s.PosX, s.PosY); };
    auto caption = [&s] { return std::pair(s.TextX, s.TextY); };

    Press(box, Qt::LeftButton, {50, 20}, Qt::LeftButton);
    Move(box, {50, 150}, Qt::LeftButton);
    QCOMPARE(shape(), std::pair(0.25, 0.75));
    Move(box, {-30, 500}, Qt::LeftButton);  // held outside the box
    QCOMPARE(shape(), std::pair(0.0, 1.0));
    Move(box, {900, -4}, Qt::LeftButton);
    QCOMPARE(shape(), std::pair(1.0, 0.0));
    Release(box, Qt::LeftButton, {900, -4}, Qt::NoButton);

    const auto captionBefore = caption();
    Move(box, {10, 10}, Qt::LeftButton | Qt::RightButton);
    Move(box, {10, 10}, Qt::MiddleButton);
    QCOMPARE(caption(), captionBefore);
    QCOMPARE(s.PosX, 1.0);

    Drag(box, Qt::RightButton, {{100, 40}, {100, 40}});
    QCOMPARE(caption(), std::pair(0.5, 0.2));
    QCOMPARE(s.PosX, 1.0);
    // A right click in the box moves the caption and opens no menu.
    QVERIFY(!w.Menus.mnuView->isVisible());
    QVERIFY(started.Dialogs.Messages.isEmpty());  // Delay 10 is fast enough
  }

  void ADelayOverTenAsksForAFasterOneAtEveryLeftPress() {
    StartedWindow started(DesignFileOf({"Disc"}, 0.451f, SetDelay(11)));
    frmMain& w = *started.Window;
    QCOMPARE(w.Settings.SliderVal(Delay), 11.0f);
    const QString message = "Please set the delay below 10 while moving shapes.";
    Drag(w.picAnim, Qt::LeftButton, {{20, 20}, {100, 20}});
    Drag(w.picAnim, Qt::RightButton, {{20, 20}});
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
    Click(w.picPlate);
    QVERIFY(!w.Menus.mnuView->isVisible());
    Click(w.picPlate, Qt::RightButton);
    QVERIFY(w.Menus.mnuView->isVisible());
    w.Menus.mnuView->close();
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::MainWindowTest)
#include "MainWindowTest.moc"
