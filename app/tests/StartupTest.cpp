#include <QAction>
#include <QComboBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <filesystem>

#include "AppTestSupport.h"
#include "design/DecimalText.h"

namespace flinder {

class StartupTest : public QObject {
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
    QCOMPARE(started.Window->Designs.ReadIni("Window", "Left"), left);
    QCOMPARE(started.Window->Designs.ReadIni("Window", "Top"), top);
    QCOMPARE(started.Window->x(), int(std::lround(std::stod(left) / 15)));
    QCOMPARE(started.Window->y(), int(std::lround(std::stod(top) / 15)));
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
    const std::string before = started.FileText();
    QSignalSpy ended(&w, &frmMain::Ended);
    w.Menus.mnuExit->trigger();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.Designs.ReadIni("Window", "Left"), "600");
    QCOMPARE(w.Designs.ReadIni("Window", "Top"), "495");
    QCOMPARE(w.Designs.ReadIni("Window", "OnTop"), "True");
    QCOMPARE(w.Designs.ReadIni("Disc", "Slider1"), "0.5");

    StartedWindow again(started.FileText());
    QVERIFY(OnTop(*again.Window));
    QCOMPARE(again.Window->pos(), QPoint(40, 33));
  }

  void TheFirstDesignInAlphabeticalOrderIsLoaded() {
    StartedWindow started(DesignFileOf({"beta", "Alpha", "gamma"}, 0.5f));
    QComboBox* list = started.Window->cmbAnim;
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(0), QString("Alpha"));
    QCOMPARE(list->itemText(1), QString("beta"));
    QCOMPARE(list->currentIndex(), 0);
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
    QCOMPARE(std::distance(std::filesystem::directory_iterator(started.scratch_.Folder),
                           std::filesystem::directory_iterator()),
             1);
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::StartupTest)
#include "StartupTest.moc"
