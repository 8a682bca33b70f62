#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "AppTestSupport.h"
#include "app/frmGIF.h"
#include "app/frmNew.h"
#include "app/frmSplash.h"

namespace flinder {

class CommandsTest : public QObject {
  Q_OBJECT

  // Triggers `command` and answers its name dialog by typing `keys` (then
  // Enter) or, when `cancel`, by clicking Cancel after typing; `check` runs
  // while it is open.
  static void Name(frmMain& w, QAction* command, const QString& keys, bool cancel = false,
                   std::function<void()> check = {}) {
    QTimer::singleShot(0, [&w, keys, cancel, check] {
      frmNew* dialog = w.NewDialog;
      QVERIFY(dialog->isVisible());
      if (check) check();
      Type(dialog->txtNew, keys);
      if (cancel)
        QTest::mouseClick(dialog->cmdNew[1], Qt::LeftButton);
      else
        QTest::keyClick(dialog->txtNew, Qt::Key_Return);
    });
    command->trigger();
  }

  static std::string Listed(StartedWindow& s, const std::string& name) {
    return *s.Window->Designs.ReadIni("Shapes", name);
  }

 private slots:
  void AddListsTheCapitalisedNameAndRefusesListedOrUnstorableNames() {
    StartedWindow started(DesignFileOf({"Alpha"}, 0.5f));
    frmMain& w = *started.Window;
    w.Settings.SetSlider(Radius, 0.75f);
    Name(w, w.Menus.mnuAdd, "mY sHAPE", false, [&] {
      QVERIFY(!w.timAnim.isActive());  // the preview rests while the dialog is open
      QCOMPARE(w.NewDialog->lblNew->text(), QString("Add new shape:"));
      QVERIFY(!w.NewDialog->cmdNew[0]->isEnabled());
    });
    QVERIFY(w.timAnim.isActive());
    QCOMPARE(w.Settings.CurrentShape, std::string("My shape"));
    QCOMPARE(Listed(started, "My shape"), std::string("1"));
    QCOMPARE(*w.Designs.ReadIni("My shape", "Slider1"), std::string("0.75"));
    QCOMPARE(*w.Designs.ReadIni("Alpha", "Slider1"), std::string("0.75"));

    const std::string before = started.FileText();
    for (auto [name, cancel] : {std::pair{"ALPHA", false}, {"x=y", false}, {"Comet", true}})
      Name(w, w.Menus.mnuAdd, name, cancel);
    QCOMPARE(started.FileText(), before);
    QCOMPARE(ListedNames(w), QStringList({"Alpha", "My shape"}));
    QCOMPARE(started.Dialogs.Messages.size(), 1);  // only the name that cannot be stored
    QVERIFY(started.Dialogs.Messages[0].contains("\"=\""));
  }

  void UpdateSavesAndSaysSoOnlyWhenThereIsADesign() {
    StartedWindow empty("\n");
    const std::string before = empty.FileText();
    empty.Window->Menus.mnuUpdate->trigger();
    QCOMPARE(empty.Dialogs.Messages, QStringList({"There is no shape to update."}));
    QCOMPARE(empty.FileText(), before);

    StartedWindow started(DesignFileOf({"Alpha"}, 0.5f));
    started.Window->Settings.SetSlider(Sides, 1);
    started.Window->Menus.mnuUpdate->trigger();
    QCOMPARE(started.Dialogs.Messages, QStringList({"Shape 'Alpha' properties updated."}));
    QCOMPARE(*started.Window->Designs.ReadIni("Alpha", "Slider0"), std::string("1"));
  }

  void ADesignFileThatCannotBeWrittenIsToldOnceAndAsksBeforeAnotherDesign() {
    StartedWindow started(DesignFileOf({"Alpha", "Beta"}, 0.5f));
    frmMain& w = *started.Window;
    const QString reason = "Cannot write the design file: Read-only file system.";
    w.Designs.RefuseWrites(reason.toStdString());
    w.Menus.mnuUpdate->trigger();
    QCOMPARE(started.Dialogs.Messages, QStringList({reason}));

    started.Dialogs.AnswerYes = false;
    QTest::keyClick(w.cmbAnim, Qt::Key_Down);
    QCOMPARE(w.Settings.CurrentShape, std::string("Alpha"));
    QCOMPARE(w.cmbAnim->currentText(), QString("Alpha"));
    started.Dialogs.AnswerYes = true;
    QTest::keyClick(w.cmbAnim, Qt::Key_Down);
    QCOMPARE(w.Settings.CurrentShape, std::string("Beta"));
    QCOMPARE(started.Dialogs.Questions,
             QStringList(2,
                         "Cannot save 'Alpha': Cannot write the design file: Read-only file "
                         "system. Open 'Beta' anyway? The changes to 'Alpha' will be lost."));
  }

  void RemoveAsksKeepsTheLastDesignAndLoadsTheNextOne() {
    StartedWindow one(DesignFileOf({"Alpha"}, 0.5f));
    one.Window->Menus.mnuRemove->trigger();
    QCOMPARE(one.Dialogs.Messages,
             QStringList({"There must be at least one item in the flinder."}));
    QCOMPARE(Listed(one, "Alpha"), std::string("1"));

    StartedWindow two(DesignFileOf({"Alpha", "Beta"}, 0.5f));
    frmMain& w = *two.Window;
    two.Dialogs.AnswerYes = false;
    w.Menus.mnuRemove->trigger();
    QCOMPARE(ListedNames(w).size(), 2);
    two.Dialogs.AnswerYes = true;
    w.Menus.mnuRemove->trigger();
    QCOMPARE(two.Dialogs.Questions,
             QStringList({"Remove shape 'Alpha'?", "Remove shape 'Alpha'?"}));
    QCOMPARE(ListedNames(w), QStringList({"Beta"}));
    QCOMPARE(Listed(two, "Alpha"), std::string("0"));
    QCOMPARE(w.Settings.CurrentShape, std::string("Beta"));
  }

  void RenameTakesOnlyANewNameAndKeepsTheEntryInPlace() {
    StartedWindow started(DesignFileOf({"Alpha", "Beta"}, 0.5f));
    frmMain& w = *started.Window;
    const std::string before = started.FileText();
    Name(w, w.Menus.mnuRename, "", true);  // cancelled
    Name(w, w.Menus.mnuRename, "", false, [&] {
      QCOMPARE(w.NewDialog->txtNew->selectedText(), QString("lpha"));
      w.NewDialog->txtNew->selectAll();
      QTest::keyClick(w.NewDialog->txtNew, Qt::Key_Delete);  // emptied
    });
    Name(w, w.Menus.mnuRename, "", false, [&] { w.NewDialog->txtNew->setText("ALPHA"); });
    QCOMPARE(started.FileText(), before);

    Name(w, w.Menus.mnuRename, "", false, [&] { w.NewDialog->txtNew->setText("Zeta"); });
    QCOMPARE(ListedNames(w), QStringList({"Zeta", "Beta"}));
    QCOMPARE(w.Settings.CurrentShape, std::string("Zeta"));
    QCOMPARE(Listed(started, "Alpha"), std::string("0"));
    QCOMPARE(Listed(started, "Zeta"), std::string("1"));
    QVERIFY(started.Dialogs.Messages.isEmpty());
  }

  // A chosen font is a step of the undo history (EditingTest).
  void ACancelledFontDialogChangesNothingButTheDialogsColour() {
    StartedWindow started(DesignFileOf({"Alpha"}, 0.5f));
    frmMain& w = *started.Window;
    w.dlgAnim.Color = MakeColour(9, 9, 9);
    const CaptionFont before = w.Settings.Font;
    Click(w.cmdAdd.at(11));
    QCOMPARE(w.Settings.Font, before);
    QCOMPARE(w.Settings.SelectedSlot, int(Inner));
    QCOMPARE(w.dlgAnim.Color, 0);
  }

  void TheManualOpensInTheBrowserOrTheUserIsTold() {
    StartedWindow started(DesignFileOf({"Alpha"}, 0.5f));
    frmMain& w = *started.Window;
    Click(w.cmdAdd.at(9));
    w.Menus.mnuContents->trigger();
    const QString manual = QString::fromStdString("file://" + started.scratch_.File("manual.html"));
    QCOMPARE(started.Dialogs.OpenedUrls, QStringList({manual, manual}));
    started.Dialogs.BrowserStarts = false;
    w.RunCommand(6);
    QCOMPARE(started.Dialogs.Messages.size(), 1);
    QVERIFY(started.Dialogs.Messages[0].startsWith("Cannot start a web browser"));
    QCOMPARE(started.Dialogs.LastMessageParent, &w);

    // From the About window the message comes over it, not behind it.
    QTimer::singleShot(0, [&] {
      w.Splash->OpenLink();
      w.Splash->cmdSplash_Click(2);
    });
    w.Menus.mnuAbout->trigger();
    QCOMPARE(started.Dialogs.Messages.size(), 2);
    QCOMPARE(started.Dialogs.LastMessageParent, w.Splash);
  }

  void SaveAsksOnceThenReusesTheFileUntilSaveAsOrAnotherDesign() {
    StartedWindow started(DesignFileOf({"Alpha", "Beta"}, 0.5f, [](ShapeSettings& s) {
      s.SetSlider(Width, 0.1f);
      s.SetSlider(Height, 0.1f);
    }));
    frmMain& w = *started.Window;
    ScriptedDialogs& d = started.Dialogs;
    w.AskFileName = false;
    QVERIFY(!w.Menus.mnuSave->isEnabled());

    const std::string out = started.AnswerSave("out.gif");
    Click(w.cmdAdd.at(0));
    QVERIFY(ExportEnds(w));
    QCOMPARE(d.SaveDialogsOpenedOn.size(), 1);
    QVERIFY(d.SaveDialogsOpenedOn[0].startsWith(
        "Create Animated (GIF89a) | GIF89a Files (*.gif);;WebP Animations (*.webp);;"
        "APNG Animations (*.png *.apng);;SVG Animations (*.svg) | GIF89a Files (*.gif) | "));
    QVERIFY(d.SaveDialogsOpenedOn[0].endsWith("/Untitled.gif"));
    QVERIFY(std::filesystem::exists(out));
    QVERIFY(w.Menus.mnuSave->isEnabled());
    // The design does not turn: one still frame, and the window says why.
    QCOMPARE(w.windowTitle(), QString(" GIF Flendar - out.gif (a still picture: Speed is 0)"));
    QCOMPARE(w.Panel->lblFrame->text(), QString("1"));

    w.Menus.mnuSave->trigger();  // no dialog this time
    QVERIFY(ExportEnds(w));
    QCOMPARE(d.SaveDialogsOpenedOn.size(), 1);

    w.Menus.mnuSaveAs->trigger();  // asks, in the folder last saved to; cancelled
    QCOMPARE(d.SaveDialogsOpenedOn.size(), 2);
    QVERIFY(d.SaveDialogsOpenedOn[1].endsWith(
        QString::fromStdString(started.scratch_.File("Untitled.gif"))));
    QCOMPARE(w.OutputFileName, out);

    // Another design asks again, also after a cancelled Save As.
    QTest::keyClick(w.cmbAnim, Qt::Key_Down);
    w.Menus.mnuSaveAs->trigger();
    w.Menus.mnuSave->trigger();
    QCOMPARE(d.SaveDialogsOpenedOn.size(), 4);

    // The design file itself is no output: Save As says so and exports nothing.
    const std::string designs = started.FileText();
    d.SaveAnswers.push_back(QString::fromStdString(started.IniFile()));
    w.mnuSaveAs_Click();
    QCOMPARE(d.Messages, QStringList(QString::fromStdString("Cannot write " + started.IniFile() +
                                                            ": it is the design file in use, which "
                                                            "holds the designs.")));
    QVERIFY(!w.Busy());
    QCOMPARE(started.FileText(), designs);
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::CommandsTest)
#include "CommandsTest.moc"
