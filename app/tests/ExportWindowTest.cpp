#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>

#include "AppTestSupport.h"
#include "GifTestFiles.h"
#include "InjectedFaults.h"
#include "app/WebResultWindow.h"
#include "app/frmGIF.h"
#include "design/IniDocument.h"
#include "design/ShapeRecord.h"
#include "export/AnimationExport.h"

namespace flinder {

// Exports from the window. Events that arrive while the window loads a
// design or exports one are handled after the work they interrupt, or
// refused while the export runs. The web-ready choices: the export
// preferences of the File menu, the design switch "Transparent Background"
// and the note about very short delays.
class ExportWindowTest : public QObject {
  Q_OBJECT

  // Runs `seen` at every resize of the widget it watches.
  class ResizeWatch : public QObject {
   public:
    explicit ResizeWatch(std::function<void()> seen) : seen_(std::move(seen)) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Resize) seen_();
      return false;
    }

   private:
    std::function<void()> seen_;
  };

  // Designs whose sliders all sit at their own position: triangles of
  // 220 x 220 pixels, 50 ms a frame.
  static std::string Designs(const std::vector<std::string>& names) {
    IniDocument file;
    for (std::size_t i = 0; i < names.size(); ++i)
      WriteShape(file,
                 DesignOf(0.3f + 0.1f * float(i),
                          [](ShapeSettings& s) {
                            s.SetSlider(Sides, 0);
                            s.SetSlider(Speed, 0.52f);
                            s.SetSlider(Width, 0.5f);
                            s.SetSlider(Height, 0.5f);
                            s.SetSlider(Delay, 0.05f);
                          }),
                 names[i]);
    return file.Bytes();
  }

  // Two small designs that play at 50 ms; Alpha's delay slider can be set.
  static std::string SmallDesigns(const char* alphaDelay = "0.05") {
    IniDocument file(DesignFileOf({"Alpha", "Beta"}, 0.5f, [](ShapeSettings& s) {
      s.SetSlider(Width, 0.1f);
      s.SetSlider(Height, 0.1f);
      s.SetSlider(Delay, 0.05f);
      s.PosX = s.PosY = 0.5;
    }));
    file.Write("Alpha", "Slider" + std::to_string(Delay), alphaDelay);
    return file.Bytes();
  }

  // Saves the current design to the scratch file `name`; gives its size.
  static std::uintmax_t SaveTo(StartedWindow& started, const std::string& name) {
    const std::string file = started.AnswerSave(name);
    started.Window->mnuSaveAs_Click();
    return ExportEnds(*started.Window) ? std::filesystem::file_size(file) : 0;
  }

 private slots:
  void ABurstOfListChangesEndsOnTheLastChoiceWithEveryDesignKept() {
    const std::vector<std::string> names = {"Alpha", "Badge", "Banner", "Beacon", "Dot"};
    StartedWindow started(Designs(names));
    frmMain& w = *started.Window;
    w.Settings.SetSlider(Radius, 0.95f);  // Alpha's change, saved as it is left
    IniDocument expected(started.FileText());
    expected.Write("Alpha", "Slider1", "0.95");

    // A flick of the wheel down to Beacon, Up twice, one more notch: Banner.
    auto wheel = [&] {
      QCoreApplication::postEvent(
          w.cmbAnim, new QWheelEvent({5, 5}, w.cmbAnim->mapToGlobal(QPoint(5, 5)), {}, {0, -120},
                                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false));
    };
    auto key = [&](Qt::Key code) {
      QCoreApplication::postEvent(w.cmbAnim, new QKeyEvent(QEvent::KeyPress, code, {}));
      QCoreApplication::postEvent(w.cmbAnim, new QKeyEvent(QEvent::KeyRelease, code, {}));
    };
    for (int i = 0; i < 3; ++i) wheel();
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    wheel();
    QCoreApplication::processEvents();

    QCOMPARE(w.Settings.CurrentShape, std::string("Banner"));
    QCOMPARE(w.cmbAnim->currentText(), QString("Banner"));
    QCOMPARE(w.Settings.SliderPos(Radius), 0.5f);
    QCOMPARE(started.FileText(), expected.Bytes());
  }

  void AnExportDrawsItsSnapshotWhileTheWindowRefusesChangesAndShowsProgress() {
    StartedWindow started(Designs({"Alpha", "Beta"}));
    frmMain& w = *started.Window;
    const std::string designs = started.FileText();
    const std::string out = started.AnswerSave("out.gif");

    // The bar at every change, and the window's look once it has grown.
    QList<int> bar;
    QImage look;
    ResizeWatch watch([&] {
      bar << w.Progress->picVal->width();
      if (look.isNull() && bar.last() > 0) look = w.Progress->grab().toImage();
    });
    w.Progress->picVal->installEventFilter(&watch);

    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.ToggleStar();  // a step to undo, but not while busy
    // Refused buttons and sliders are drawn greyed, as Qt's own widgets are.
    QWidget* const controls[] = {w.cmdAdd.at(1), w.Panel->picSlider[Width]};
    QList<QImage> idle;
    for (QWidget* control : controls) idle << control->grab().toImage();
    Click(w.cmdAdd.at(0));
    QVERIFY(w.Busy() && w.Progress->isVisible() && !w.Menus.mnuUndo->isEnabled());
    for (int i = 0; i < 2; ++i) {
      const QImage busy = controls[i]->grab().toImage();
      QVERIFY(busy != idle[i]);
      for (int y = 0; y < busy.height(); ++y)
        for (int x = 0; x < busy.width(); ++x) QVERIFY(busy.pixelColor(x, y).saturation() < 16);
    }
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    Click(w.Panel->picSlider[Width], Qt::LeftButton, {20, 3});
    Click(w.Panel->picSlider[Delay], Qt::LeftButton, {150, 3});
    QTest::keyClick(w.cmbAnim, Qt::Key_Down);
    w.Menus.mnuSaveAs->trigger();
    w.Menus.mnuLoopForever->trigger();
    w.Menus.mnuScaleItems[1]->trigger();
    Click(w.cmdAdd.at(0));
    QVERIFY(ExportEnds(w));

    const std::optional<GifLayout> gif = LayoutOfGif(ReadWholeFile(out));
    QVERIFY(gif);
    const std::size_t frames = FramesInCycle(w.Settings, 500) - 1;
    QCOMPARE(std::pair(gif->Width, gif->Height), std::pair(220, 220));
    QCOMPARE(gif->Delays, std::vector<int>(frames, 5));
    QCOMPARE(started.FileText(), designs);
    QCOMPARE(w.Settings.CurrentShape, std::string("Alpha"));
    QCOMPARE(started.Dialogs.SaveDialogsOpenedOn.size(), 1);
    QVERIFY(w.timAnim.isActive() && w.cmbAnim->isEnabled() && w.Panel->picSlider[0]->isEnabled());
    QVERIFY(w.Settings.Star && w.Menus.mnuUndo->isEnabled());

    QVERIFY(std::is_sorted(bar.begin(), bar.end()));
    QVERIFY(QSet<int>(bar.begin(), bar.end()).size() >= 20);
    QCOMPARE(w.Progress->picVal->width(), w.Progress->picPer->width());
    const QRect text = w.Progress->Label1->geometry();
    int dark = 0;
    for (int x = text.left(); x <= text.right(); ++x)
      dark += look.pixelColor(x, text.center().y()).lightness() < 100;
    QVERIFY(dark > 20);

    // A WebP is written as its frames are drawn: the bar still only grows.
    bar.clear();
    started.AnswerSave("o.webp");
    w.mnuSaveAs_Click();
    QVERIFY(ExportEnds(w));
    QVERIFY(std::is_sorted(bar.begin(), bar.end()) && bar.size() >= 20);
    QCOMPARE(bar.last(), w.Progress->picPer->width());
  }

  // Memory a worker cannot have, or no thread for the export at all: the
  // export ends as its message, the window goes on as it was, and nothing
  // is written.
  void AnExportThatFailsEndsAsItsMessageAndTheWindowGoesOn() {
    StartedWindow started(Designs({"Alpha"}));
    frmMain& w = *started.Window;
    w.Menus.mnuScaleItems[2]->trigger();  // frames of 660 x 660 pixels, 1.7 MB each
    const std::string designs = started.FileText();
    // Each failure lasts for as long as what it gives is held.
    const std::pair<std::function<std::shared_ptr<void>()>, QString> failures[] = {
        {[] {
           InjectedFaults::FailLargeAllocations(std::size_t{1} << 20);
           return std::shared_ptr<void>(nullptr,
                                        [](void*) { InjectedFaults::FailLargeAllocations(0); });
         },
         ": std::bad_alloc"},
        {[] { return std::make_shared<InjectedFaults::NoThreadStarts>(); },
         ": no thread could be started for it"}};
    for (const auto& [fail, reason] : failures) {
      started.Dialogs.Messages.clear();
      const std::string out = started.AnswerSave("out.webp");
      w.mnuSaveAs_Click();
      std::shared_ptr<void> failing = fail();
      QVERIFY(QTest::qWaitFor([&] { return !w.Busy(); }, 10000));
      failing.reset();
      QCOMPARE(started.Dialogs.Messages,
               QStringList("Cannot write " + QString::fromStdString(out) + reason));
      QVERIFY(!w.Progress->isVisible() && w.timAnim.isActive() && w.cmbAnim->isEnabled());
      QCOMPARE(std::distance(std::filesystem::directory_iterator(started.scratch_.Folder), {}), 1);
      QCOMPARE(started.FileText(), designs);
    }
    w.ExportAnimatedGif();  // the file is known now
    QVERIFY(ExportEnds(w) && std::filesystem::exists(started.scratch_.File("out.webp")));
  }

  // Cancel in the progress window, or Escape there, ends the export at its
  // next frame as if it had not run: the old picture, no temporary file,
  // no message, and the caption as it was.
  void ACancelledExportLeavesTheOldPictureAndSaysNothing() {
    StartedWindow started(Designs({"Alpha"}));
    frmMain& w = *started.Window;
    const QString caption = w.windowTitle();
    for (bool escape : {false, true}) {
      const std::string out = started.AnswerSave("out.webp");
      WriteWholeFile(out, "old picture");
      w.mnuSaveAs_Click();
      QVERIFY(w.Busy() && w.Progress->cmdCancel->isVisible());
      escape ? QTest::keyClick(w.Progress, Qt::Key_Escape)
             : QTest::mouseClick(w.Progress->cmdCancel, Qt::LeftButton);
      QVERIFY(ExportEnds(w) && started.Dialogs.Messages.isEmpty() && w.windowTitle() == caption);
      QCOMPARE(ReadWholeFile(out), std::string("old picture"));
      QCOMPARE(std::distance(std::filesystem::directory_iterator(started.scratch_.Folder), {}), 2);
      QVERIFY(!w.Progress->isVisible() && w.timAnim.isActive() && w.cmbAnim->isEnabled());
    }
  }

  void ClosingDuringAnExportEndsTheProgramAfterIt() {
    StartedWindow started(Designs({"Alpha"}));
    frmMain& w = *started.Window;
    const std::string out = started.AnswerSave("o.gif");
    QSignalSpy ended(&w, &frmMain::Ended);
    Click(w.cmdAdd.at(0));
    w.close();
    QCOMPARE(ended.count(), 0);
    QVERIFY(ended.wait(60000));
    QVERIFY(std::filesystem::exists(out));
  }

  void ExportPreferencesAreKeptInTheDesignFileAndReachTheExport() {
    IniDocument file(SmallDesigns());
    file.Write("Export", "Loop", "5");
    StartedWindow started(file.Bytes());
    frmMain& w = *started.Window;
    QVERIFY(!w.Menus.mnuOptimise->isChecked() && !w.Menus.mnuLoopForever->isChecked());
    QVERIFY(w.Menus.mnuScaleItems[0]->isChecked());
    const auto plain = SaveTo(started, "plain.gif");

    w.Menus.mnuOptimise->trigger();
    QCOMPARE(*w.Designs.ReadIni("Export", "Optimise"), std::string("True"));
    QVERIFY(SaveTo(started, "optimised.gif") < plain);
    // Unchecked again, Loop Forever gives back the count the file held.
    w.Menus.mnuLoopForever->trigger();
    QCOMPARE(*w.Designs.ReadIni("Export", "Loop"), std::string("Forever"));
    w.Menus.mnuLoopForever->trigger();
    QCOMPARE(*w.Designs.ReadIni("Export", "Loop"), std::string("5"));
    w.Menus.mnuLoopForever->trigger();
    w.Menus.mnuScaleItems[2]->trigger();
    QCOMPARE(*w.Designs.ReadIni("Export", "Scale"), std::string("3"));
    w.Menus.mnuSmoothMotion->trigger();
    QCOMPARE(*w.Designs.ReadIni("Export", "Motion"), std::string("Smooth"));
    QVERIFY(!w.Menus.mnuScaleItems[0]->isChecked());
    // The export gets both: three times the width, and a loop count of 0.
    SaveTo(started, "choices.gif");
    const std::string gif = ReadWholeFile(started.scratch_.File("choices.gif"));
    const auto width = [](const std::string& g) { return uint8_t(g[6]) + 256 * uint8_t(g[7]); };
    QCOMPARE(width(gif), 3 * width(ReadWholeFile(started.scratch_.File("plain.gif"))));
    QCOMPARE(gif.substr(gif.find("NETSCAPE2.0") + 13, 2), std::string(2, '\0'));
    w.close();

    started.Window = std::make_unique<frmMain>(started.Dialogs);
    started.Start();
    QVERIFY(started.Window->Menus.mnuOptimise->isChecked());
    QVERIFY(started.Window->Menus.mnuLoopForever->isChecked());
    QVERIFY(started.Window->Menus.mnuScaleItems[2]->isChecked() &&
            started.Window->Menus.mnuSmoothMotion->isChecked());
  }

  void TheSaveDialogsFileTypeDecidesWhereTheNameDoesNot() {
    StartedWindow started(SmallDesigns());
    frmMain& w = *started.Window;
    started.Dialogs.SaveTypeAnswer = 1;  // WebP
    started.AnswerSave("spin");
    w.mnuSaveAs_Click();
    QVERIFY(ExportEnds(w));
    QCOMPARE(ReadWholeFile(started.scratch_.File("spin.webp")).substr(8, 4), "WEBP");
    QCOMPARE(w.Progress->Label1->text(), QString("Flindering animated WebP. Please wait..."));

    w.mnuSaveAs_Click();  // opens on WebP now; cancelled
    QVERIFY(started.Dialogs.SaveDialogsOpenedOn[1].endsWith(
        " | WebP Animations (*.webp) | " +
        QString::fromStdString(started.scratch_.File("Untitled.webp"))));

    // An SVG is copied as one, with its address.
    started.Dialogs.SaveTypeAnswer = 3;
    started.AnswerSave("spin");
    w.mnuSaveAs_Click();
    QVERIFY(ExportEnds(w));
    w.Menus.mnuCopyPicture->trigger();
    QVERIFY(QApplication::clipboard()->mimeData()->data("image/svg+xml").startsWith("<svg "));
    QCOMPARE(w.Progress->Label1->text(), QString("Flindering animated SVG. Please wait..."));
  }

  void TransparentBackgroundIsSavedWithTheDesignAndPreviewedOnChecks() {
    StartedWindow started(SmallDesigns());
    frmMain& w = *started.Window;
    QVERIFY(!w.Menus.mnuTransparent->isChecked());

    w.Menus.mnuTransparent->trigger();
    QVERIFY(w.Settings.Transparent && w.Menus.mnuTransparent->isChecked());
    w.timAnim_Timer();
    const Raster& preview = w.picAnim->Surface.Capture();
    QCOMPARE(preview.At(0, 0), MakeColour(255, 255, 255));  // the corner is background
    QCOMPARE(preview.At(8, 0), MakeColour(214, 214, 214));

    QTest::keyClick(w.cmbAnim, Qt::Key_Down);  // leaving Alpha saves it
    QCOMPARE(*w.Designs.ReadIni("Alpha", "Transparent"), std::string("True"));
    QVERIFY(!w.Menus.mnuTransparent->isChecked());
    QTest::keyClick(w.cmbAnim, Qt::Key_Up);
    QVERIFY(w.Settings.Transparent && w.Menus.mnuTransparent->isChecked());
  }

  // Export for Web writes into the folder the dialog answers, with the 1x
  // and 2x copies the usual Web Copies ask for; the result window names
  // every file but the HTML, and Copy HTML gives the HTML as HTML and text.
  // A folder that cannot be made ends as a message.
  void ExportForWebShowsTheFilesWrittenAndCopiesTheirHtml() {
    StartedWindow started(SmallDesigns());
    frmMain& w = *started.Window;
    QVERIFY(!w.Menus.mnuCopyHtml->isEnabled());
    const std::string folder = started.scratch_.File("web");
    started.Dialogs.FolderAnswers = {QString::fromStdString(folder)};
    w.Menus.mnuExportWeb->trigger();
    QVERIFY(w.Busy() && w.Progress->isVisible() && !w.Menus.mnuWebCopyItems[0]->isEnabled());
    QVERIFY(ExportEnds(w) && started.Dialogs.Messages.isEmpty());
    QVERIFY(w.WebResult && w.WebResult->isVisible() && w.Menus.mnuCopyHtml->isEnabled());
    const QString table = w.WebResult->txtSizes->toPlainText();
    QStringList written;
    for (const auto& file : std::filesystem::directory_iterator(folder))
      written << QString::fromStdString(file.path().filename().string());
    QVERIFY(written.contains("Alpha@2x.webp") && !written.contains("Alpha@3x.webp"));
    QVERIFY(written.contains("Alpha.html") && written.size() >= 6);
    for (const QString& name : written)
      QVERIFY2(name.endsWith(".html") || table.contains(name), qPrintable(name));

    QApplication::clipboard()->clear();
    QTest::mouseClick(w.WebResult->cmdCopyHtml, Qt::LeftButton);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QVERIFY(copied->hasHtml() && copied->html().contains("Alpha.gif"));
    QVERIFY(copied->html().contains("alt=\"Alpha\""));
    QCOMPARE(copied->text(), copied->html());

    QTest::keyClick(w.WebResult, Qt::Key_Escape);  // closes it, as Close does
    QVERIFY(!w.WebResult->isVisible());
    WriteWholeFile(started.scratch_.File("plain"), "");
    started.Dialogs.FolderAnswers = {QString::fromStdString(started.scratch_.File("plain/web"))};
    w.ExportForWeb();
    QVERIFY(ExportEnds(w) && started.Dialogs.Messages.size() == 1 && !w.WebResult->isVisible());
  }

  void WebCopiesAreKeptInTheDesignFileWithOneAlwaysChecked() {
    IniDocument file(SmallDesigns());
    file.Write("Export", "WebScales", "3");
    StartedWindow started(file.Bytes());
    auto checked = [&] {
      QString marks;
      for (QAction* item : started.Window->Menus.mnuWebCopyItems)
        marks += item->isChecked() ? "x" : "-";
      return marks;
    };
    QCOMPARE(checked(), QString("--x"));
    started.Window->Menus.mnuWebCopyItems[2]->trigger();  // the last one stays
    QCOMPARE(checked(), QString("--x"));
    started.Window->Menus.mnuWebCopyItems[0]->trigger();
    QCOMPARE(*started.Window->Designs.ReadIni("Export", "WebScales"), std::string("1,3"));
    started.Window->Menus.mnuWebCopyItems[2]->trigger();
    started.Window->close();
    started.Window = std::make_unique<frmMain>(started.Dialogs);
    started.Start();
    QCOMPARE(checked(), QString("x--"));
  }

  void AVeryShortDelayIsNotedInTheProgressWindow() {
    StartedWindow started(SmallDesigns("0"));  // 1 ms: 0 hundredths
    frmMain& w = *started.Window;
    SaveTo(started, "quick.gif");
    QVERIFY(!w.Progress->lblNote->isHidden());
    QVERIFY(w.Progress->lblNote->text().startsWith("Note: most browsers play frames of 0 or 1"));
    QVERIFY(started.Dialogs.Messages.isEmpty());

    QTest::keyClick(w.cmbAnim, Qt::Key_Down);  // Beta plays at 50 ms
    SaveTo(started, "beta.gif");
    QVERIFY(w.Progress->lblNote->isHidden());
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::ExportWindowTest)
#include "ExportWindowTest.moc"
