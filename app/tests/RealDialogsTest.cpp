#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/PlatformDialogs.h"

namespace flinder {

// The real dialogs, answered the way a user would answer them.
class RealDialogsTest : public QObject {
  Q_OBJECT

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

QTEST_MAIN(flinder::RealDialogsTest)
#include "RealDialogsTest.moc"
