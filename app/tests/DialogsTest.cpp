#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "app/PlatformDialogs.h"
#include "app/frmGIF.h"
#include "app/frmNew.h"
#include "app/frmSplash.h"

namespace flinder {

// The name entry dialog, the About window and the export's progress window,
// driven with real key and mouse events; and the platform's own dialogs,
// answered the way a user would answer them.
class DialogsTest : public QObject {
  Q_OBJECT

  // The result a dialog returns when the answer left it open.
  static constexpr int LeftOpen = 99;

  // Shows `dialog` modally and lets `answer` act on it once it is up.
  static int ShowAndAnswer(QDialog& dialog, const std::function<void()>& answer) {
    QTimer::singleShot(0, &dialog, answer);
    QTimer::singleShot(3000, &dialog, [&dialog] { dialog.done(LeftOpen); });
    return dialog.exec();
  }

  static QString Ask(frmNew& dialog, const std::function<void()>& answer) {
    if (ShowAndAnswer(dialog, answer) == LeftOpen) return QStringLiteral("<left open>");
    return dialog.txtNew->text();
  }

  static bool Underlined(const frmSplash& splash) { return splash.lblURL->font().underline(); }

  // Whether the window's frame is centred on `centre`, give or take the
  // rounding of an odd size.
  static bool CentredOn(const QWidget& window, QPoint centre) {
    return (window.frameGeometry().center() - centre).manhattanLength() <= 1;
  }

  QWidget owner_;

  // Runs `answer` on the modal dialog of type Dialog once it is open.
  template <typename Dialog>
  static void AnswerWhenOpen(std::function<void(Dialog*)> answer) {
    QTimer::singleShot(10, [answer] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return AnswerWhenOpen<Dialog>(answer);
      answer(dialog);
    });
  }

 private slots:
  void initTestCase() {
    owner_.setGeometry(100, 80, 481, 314);
    owner_.show();
  }

  void EnterAcceptsOnItsReleaseWhatTheBoxHolds() {
    frmNew dialog(&owner_);
    dialog.cmdNew[0]->setEnabled(false);
    QCOMPARE(Ask(dialog,
                 [&] {
                   QTest::keyClicks(dialog.txtNew, "Star");
                   QTest::keyPress(dialog.txtNew, Qt::Key_Return);
                   QVERIFY(dialog.isVisible());
                   QTest::keyRelease(dialog.txtNew, Qt::Key_Return);
                 }),
             QString("Star"));

    // The release of an Enter pressed before the dialog opened is not one.
    dialog.txtNew->setText("Dot");
    QCOMPARE(Ask(dialog,
                 [&] {
                   QTest::keyRelease(dialog.txtNew, Qt::Key_Return);
                   QVERIFY(dialog.isVisible());
                   QTest::keyClick(dialog.txtNew, Qt::Key_Enter);
                 }),
             QString("Dot"));
  }

  void OkFollowsTheTextOnlyWhenAKeyIsReleased() {
    frmNew dialog(&owner_);
    dialog.txtNew->setText("Ri");
    dialog.cmdNew[0]->setEnabled(false);
    QCOMPARE(Ask(dialog,
                 [&] {
                   QVERIFY(!dialog.cmdNew[0]->isEnabled());
                   QTest::keyClick(dialog.txtNew, Qt::Key_End);
                   QVERIFY(dialog.cmdNew[0]->isEnabled());
                   QTest::keyClick(dialog.txtNew, Qt::Key_Backspace);
                   QTest::keyPress(dialog.txtNew, Qt::Key_Backspace);
                   QVERIFY(dialog.txtNew->text().isEmpty() && dialog.cmdNew[0]->isEnabled());
                   QTest::keyRelease(dialog.txtNew, Qt::Key_Backspace);
                   QVERIFY(!dialog.cmdNew[0]->isEnabled());
                   QVERIFY(dialog.cmdNew[1]->isEnabled());
                   QTest::keyClicks(dialog.txtNew, "Hex");
                   QTest::keyClick(dialog.txtNew, Qt::Key_Escape);
                   QVERIFY(dialog.isVisible());
                   QTest::mouseClick(dialog.cmdNew[1], Qt::LeftButton);
                 }),
             QString());
  }

  void TheDialogKeepsItsStateAndPlaceUntilItsCloseBoxUnloadsIt() {
    frmNew dialog(&owner_);
    const QPoint ownerCentre = owner_.frameGeometry().center();
    dialog.cmdNew[0]->setEnabled(false);
    QCOMPARE(Ask(dialog,
                 [&] {
                   QVERIFY(CentredOn(dialog, ownerCentre));
                   dialog.move(20, 30);
                   QTest::mouseClick(dialog.cmdNew[1], Qt::LeftButton);
                 }),
             QString());

    // A rename right after that cancelled add: OK is still disabled.
    dialog.lblNew->setText("Rename shape:");
    dialog.txtNew->setText("Cone");
    QCOMPARE(Ask(dialog,
                 [&] {
                   QCOMPARE(dialog.pos(), QPoint(20, 30));
                   QVERIFY(!dialog.cmdNew[0]->isEnabled());
                   QTest::keyClick(dialog.txtNew, Qt::Key_Return);
                 }),
             QString("Cone"));

    dialog.cmdNew[0]->setEnabled(false);
    QCOMPARE(Ask(dialog,
                 [&] {
                   QCOMPARE(dialog.txtNew->text(), QString("Cone"));
                   QCOMPARE(dialog.lblNew->text(), QString("Rename shape:"));
                   dialog.close();
                 }),
             QString());
    QCOMPARE(dialog.lblNew->text(), QString("Enter a new design name:"));
    QVERIFY(dialog.cmdNew[0]->isEnabled());
    QCOMPARE(Ask(dialog,
                 [&] {
                   QVERIFY(CentredOn(dialog, ownerCentre));
                   QTest::keyClick(dialog.txtNew, Qt::Key_Return);
                 }),
             QString());
  }

  void TheLinkOpensWhenTheLeftButtonIsReleasedAnywhere() {
    int opened = 0;
    frmSplash splash(&owner_, "Flinder manual (manual.html)", [&] { ++opened; });
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QWindow* window = splash.windowHandle();
    const QPoint onLink = splash.lblURL->mapTo(&splash, QPoint(20, 8));
    const QPoint elsewhere(300, 10);

    QVERIFY(Underlined(splash));
    QTest::mousePress(window, Qt::RightButton, {}, onLink);
    QTest::mouseRelease(window, Qt::RightButton, {}, onLink);
    QVERIFY(Underlined(splash));
    QCOMPARE(opened, 0);

    QTest::mousePress(window, Qt::LeftButton, {}, onLink);
    QVERIFY(!Underlined(splash));
    QCOMPARE(opened, 0);
    QTest::mouseRelease(window, Qt::LeftButton, {}, elsewhere);
    QVERIFY(Underlined(splash));
    QCOMPARE(opened, 1);
    QVERIFY(splash.isVisible());
  }

  void OnlyOkHidesTheAboutWindowCentredOnTheScreen() {
    frmSplash splash(&owner_, "manual", [] {});
    QCOMPARE(ShowAndAnswer(splash,
                           [&] {
                             QVERIFY(CentredOn(splash, splash.screen()->geometry().center()));
                             QTest::keyClick(&splash, Qt::Key_Escape);
                             QVERIFY(splash.isVisible());
                             QTest::mouseClick(splash.cmdSplash.at(2), Qt::LeftButton);
                           }),
             int(QDialog::Accepted));
    QVERIFY(!splash.isVisible());
  }

  void TheProgressBarFillsWithTheWorkDoneInsideTheWindow() {
    frmGIF progress(&owner_);
    progress.show();
    progress.CentreOn(&owner_);
    QVERIFY(CentredOn(progress, owner_.frameGeometry().center()));
    progress.CentreOn(nullptr);
    QVERIFY(CentredOn(progress, progress.screen()->geometry().center()));
    QVERIFY(progress.rect().contains(progress.picPer->geometry()));
    QVERIFY(progress.Label1->geometry().bottom() < progress.picPer->geometry().top());

    const int full = progress.picPer->width();
    const struct {
      int done, total, width;
    } steps[] = {{0, 12, 0}, {6, 12, full / 2}, {12, 12, full}, {13, 12, full}, {3, 0, 0}};
    for (const auto& step : steps) {
      progress.ShowProgress(step.done, step.total);
      QCOMPARE(progress.picVal->geometry(), QRect(0, 0, step.width, progress.picPer->height()));
    }
  }

  void TheColourDialogOpensOnTheGivenColourAndReturnsThePickedOne() {
    QtPlatformDialogs dialogs;
    QColor openedOn;
    AnswerWhenOpen<QColorDialog>([&](QColorDialog* dialog) {
      openedOn = dialog->currentColor();
      dialog->setCurrentColor(QColor(18, 35, 10));
      dialog->accept();
    });
    QCOMPARE(dialogs.PickColour(nullptr, MakeColour(1, 2, 3)), MakeColour(18, 35, 10));
    QCOMPARE(openedOn, QColor(1, 2, 3));

    AnswerWhenOpen<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
    QVERIFY(!dialogs.PickColour(nullptr, 0).has_value());
  }

  void AMessageHasTheApplicationsTitleAndAnOkButton() {
    QtPlatformDialogs dialogs;
    QString title, text;
    AnswerWhenOpen<QMessageBox>([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    dialogs.ShowMessage(nullptr, "Please set the delay below 10 while moving shapes.");
    QCOMPARE(title, QString("GIF Flender"));
    QCOMPARE(text, QString("Please set the delay below 10 while moving shapes."));

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    AnswerWhenOpen<QMessageBox>([&](QMessageBox* box) {
      icon = box->icon();
      box->button(QMessageBox::Yes)->click();
    });
    QVERIFY(dialogs.AskYesNo(nullptr, "Remove shape 'Alpha'?"));
    QCOMPARE(icon, QMessageBox::Question);
    // Escape answers No.
    AnswerWhenOpen<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QVERIFY(!dialogs.AskYesNo(nullptr, "Remove shape 'Alpha'?"));
  }

  void AUrlHandlerThatFailsOrIsMissingIsReported() {
    QTemporaryDir bin;
    QFile handler(bin.filePath("xdg-open"));
    QVERIFY(handler.open(QIODevice::WriteOnly));
    handler.write("#!/bin/sh\nexit 4\n");
    handler.close();
    handler.setPermissions(QFile::ExeOwner | QFile::ReadOwner);
    const QByteArray path = qgetenv("PATH");
    QtPlatformDialogs dialogs;
    int failures = 0;
    for (const QString& folder : {bin.path(), bin.filePath("nothing")}) {
      qputenv("PATH", folder.toUtf8());
      dialogs.OpenUrl("file:///manual.html", [&] { ++failures; });
      QVERIFY(QTest::qWaitFor([&] { return failures == 1 + (folder != bin.path()); }));
    }
    qputenv("PATH", path);
  }

  void TheSaveDialogGivesANameWithoutExtensionTheChosenTypes() {
    QTemporaryDir folder;
    QtPlatformDialogs dialogs;
    AnswerWhenOpen<QFileDialog>([](QFileDialog* dialog) {
      QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      name->setText("spin");
      QTest::keyClick(name, Qt::Key_Return);
    });
    const std::optional<SaveFileChoice> chosen = dialogs.AskSaveFileName(
        nullptr, "Save", {{"A (*.a)", "a"}, {"B (*.b)", "b"}}, 0, folder.filePath("x.a"));
    QCOMPARE(chosen->FileName, folder.filePath("spin.b"));
    QCOMPARE(chosen->Type, 1);
  }

  void TheFontDialogOpensOnTheFontTheCaptionIsDrawnWith() {
    QtPlatformDialogs dialogs;
    CaptionFont caption;  // Arial, served by another family, 11.25 points, bold
    caption.FontItalic = caption.FontUnderline = caption.FontStrikethru = true;
    QFont openedOn;
    AnswerWhenOpen<QFontDialog>([&](QFontDialog* dialog) {
      openedOn = dialog->currentFont();
      dialog->accept();
    });
    QCOMPARE(dialogs.ChooseFont(nullptr, caption), caption);  // unchanged by OK
    QFont arial("Arial");
    QCOMPARE(openedOn.family(), QFontInfo(arial).family());
    QCOMPARE(std::lround(openedOn.pointSizeF()), 11);  // the dialog lists whole sizes
    QVERIFY(openedOn.bold() && openedOn.italic() && openedOn.underline() && openedOn.strikeOut());
  }
};

}  // namespace flinder

QTEST_MAIN(flinder::DialogsTest)
#include "DialogsTest.moc"
