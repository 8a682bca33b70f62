#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "AppTestSupport.h"
#include "GifTestFiles.h"
#include "app/frmGIF.h"
#include "design/IniDocument.h"
#include "export/AnimatedGifExport.h"

namespace flinder {

// The web-ready choices of the window: the export preferences of the File
// menu, the design switch "Transparent Background" and the note about very
// short delays.
class WebReadyTest : public QObject {
  Q_OBJECT

  // Two small designs that play at 50 ms; Alpha's delay slider can be set.
  static std::string Designs(const char* alphaDelay = "0.05") {
    IniDocument file(DesignFileOf({"Alpha", "Beta"}, 0.5f, [](ShapeSettings& s) {
      s.SetSlider(Width, 0.1f);
      s.SetSlider(Height, 0.1f);
      s.SetSlider(Delay, 0.05f);
      s.PosX = s.PosY = 0.5;
    }));
    file.Write("Alpha", "Slider" + std::to_string(Delay), alphaDelay);
    return file.Bytes();
  }

  // Saves the current design to `file` without asking; gives the file's size.
  static std::uintmax_t SaveTo(StartedWindow& started, const std::string& file) {
    started.Dialogs.SaveAnswers.push_back(QString::fromStdString(file));
    started.Window->mnuSaveAs_Click();
    return ExportEnds(*started.Window) ? std::filesystem::file_size(file) : 0;
  }

 private slots:
  void ExportPreferencesAreKeptInTheDesignFileAndReachTheExport() {
    IniDocument file(Designs());
    file.Write("Export", "Loop", "5");
    StartedWindow started(file.Bytes());
    frmMain& w = *started.Window;
    QVERIFY(!w.Menus.mnuOptimise->isChecked() && !w.Menus.mnuLoopForever->isChecked());
    QVERIFY(w.Menus.mnuScaleItems[0]->isChecked());
    const auto plain = SaveTo(started, started.scratch_.File("plain.gif"));

    w.Menus.mnuOptimise->trigger();
    QCOMPARE(w.Designs.ReadIni("Export", "Optimise"), std::string("True"));
    QVERIFY(SaveTo(started, started.scratch_.File("optimised.gif")) < plain);
    // Unchecked again, Loop Forever gives back the count the file held.
    w.Menus.mnuLoopForever->trigger();
    QCOMPARE(w.Designs.ReadIni("Export", "Loop"), std::string("Forever"));
    w.Menus.mnuLoopForever->trigger();
    QCOMPARE(w.Designs.ReadIni("Export", "Loop"), std::string("5"));
    w.Menus.mnuLoopForever->trigger();
    w.Menus.mnuScaleItems[2]->trigger();
    QCOMPARE(w.Designs.ReadIni("Export", "Scale"), std::string("3"));
    QVERIFY(!w.Menus.mnuScaleItems[0]->isChecked());
    // The export gets both: three times the width, and a loop count of 0.
    SaveTo(started, started.scratch_.File("choices.gif"));
    const std::string gif = ReadWholeFile(started.scratch_.File("choices.gif"));
    const auto width = [](const std::string& g) { return uint8_t(g[6]) + 256 * uint8_t(g[7]); };
    QCOMPARE(width(gif), 3 * width(ReadWholeFile(started.scratch_.File("plain.gif"))));
    QCOMPARE(gif.substr(gif.find("NETSCAPE2.0") + 13, 2), std::string(2, '\0'));
    w.close();

    started.Window = std::make_unique<frmMain>(started.Dialogs);
    started.Start();
    QVERIFY(started.Window->Menus.mnuOptimise->isChecked());
    QVERIFY(started.Window->Menus.mnuLoopForever->isChecked());
    QVERIFY(started.Window->Menus.mnuScaleItems[2]->isChecked());
  }

  void TheSaveDialogsFileTypeDecidesWhereTheNameDoesNot() {
    StartedWindow started(Designs());
    frmMain& w = *started.Window;
    started.Dialogs.SaveTypeAnswer = 1;  // WebP
    started.Dialogs.SaveAnswers = {QString::fromStdString(started.scratch_.File("spin"))};
    w.mnuSaveAs_Click();
    QVERIFY(ExportEnds(w));
    QCOMPARE(ReadWholeFile(started.scratch_.File("spin.webp")).substr(8, 4), "WEBP");
    QCOMPARE(w.Progress->Label1->text(), QString("Flindering animated WebP. Please wait..."));
    SaveTo(started, started.scratch_.File("spin.img"));  // an extension of no format
    QCOMPARE(ReadWholeFile(started.scratch_.File("spin.img")).substr(8, 4), "WEBP");

    w.mnuSaveAs_Click();  // opens on WebP now; cancelled
    QVERIFY(started.Dialogs.SaveDialogsOpenedOn[2].endsWith(
        " | WebP Animations (*.webp) | " +
        QString::fromStdString(started.scratch_.File("Untitled.webp"))));
  }

  void TransparentBackgroundIsSavedWithTheDesignAndPreviewedOnChecks() {
    StartedWindow started(Designs());
    frmMain& w = *started.Window;
    QVERIFY(!w.Menus.mnuTransparent->isChecked());

    w.Menus.mnuTransparent->trigger();
    QVERIFY(w.Settings.Transparent && w.Menus.mnuTransparent->isChecked());
    w.timAnim_Timer();
    const Raster& preview = w.picAnim->Surface.Capture();
    QCOMPARE(preview.At(0, 0), MakeColour(255, 255, 255));  // the corner is background
    QCOMPARE(preview.At(8, 0), MakeColour(214, 214, 214));

    QTest::keyClick(w.cmbAnim, Qt::Key_Down);  // leaving Alpha saves it
    QCOMPARE(w.Designs.ReadIni("Alpha", "Transparent"), std::string("True"));
    QVERIFY(!w.Menus.mnuTransparent->isChecked());
    QTest::keyClick(w.cmbAnim, Qt::Key_Up);
    QVERIFY(w.Settings.Transparent && w.Menus.mnuTransparent->isChecked());
  }

  void AVeryShortDelayIsNotedInTheProgressWindow() {
    StartedWindow started(Designs("0"));  // 1 ms: 0 hundredths
    frmMain& w = *started.Window;
    SaveTo(started, started.scratch_.File("quick.gif"));
    QVERIFY(!w.Progress->lblNote->isHidden());
    QVERIFY(w.Progress->lblNote->text().startsWith("Note: most browsers play frames of 0 or 1"));
    QVERIFY(started.Dialogs.Messages.isEmpty());

    QTest::keyClick(w.cmbAnim, Qt::Key_Down);  // Beta plays at 50 ms
    SaveTo(started, started.scratch_.File("beta.gif"));
    QVERIFY(w.Progress->lblNote->isHidden());
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::WebReadyTest)
#include "WebReadyTest.moc"
