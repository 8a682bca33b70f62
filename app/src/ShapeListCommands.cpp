// The commands of the design list: add, update, remove, rename, the caption
// font and the manual.
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "app/frmMain.h"
#include "app/frmNew.h"
#include "app/frmSplash.h"
#include "design/DesignName.h"

namespace flinder {
namespace {

const QString NameRules = QStringLiteral(
    "A shape name cannot begin with \"[\" or \";\", contain \"=\" or control characters, begin "
    "or end with a blank, be \"Shapes\", \"Window\" or \"Export\", or use characters outside the "
    "Windows-1252 code page.");

// A name typed in mixed case is listed with only its first letter in capitals.
QString Capitalised(const QString& text) {
  return text.left(1).toUpper() + text.mid(1).toLower();
}

}  // namespace

void frmMain::Message(const QString& text) {
  dialogs_.ShowMessage(this, text);
}

void frmMain::RunCommand(std::int16_t code) {
  cmbAnim->setFocus();
  // A running export owns the record and the output file.
  if (Exporting && code != 6) return;
  switch (code) {
    case 0:
      AddShape();
      break;
    case 1:
      if (DesignFileResult saved = SaveCurrentShape(); !saved)
        Message(QString::fromStdString(saved.Reason));
      break;
    case 2:
      RemoveSelectedShape();
      break;
    case 4:
      ExportAnimatedGif();
      break;
    case 5:
      ChooseCaptionFont();
      break;
    case 6:
      OpenManual();
      break;
    default:
      break;
  }
}

DesignFileResult frmMain::SaveCurrentShape() {
  if (Settings.CurrentShape.empty()) return {};
  return Designs.SaveShape(Settings, Settings.CurrentShape);
}

void frmMain::ShowCurrentInList() {
  const int entry = cmbAnim->findText(QString::fromStdString(Settings.CurrentShape),
                                      Qt::MatchExactly | Qt::MatchCaseSensitive);
  cmbAnim->setCurrentIndex(entry);
}

void frmMain::cmbAnim_Click() {
  if (!StartupDone) return;
  if (Exporting) return ShowCurrentInList();
  // The design being left is saved first; when that fails it stays current,
  // so its changes are not lost.
  if (DesignFileResult saved = SaveCurrentShape(); !saved) {
    Message(QString::fromStdString(saved.Reason));
    return ShowCurrentInList();
  }
  const std::string name = cmbAnim->currentText().toStdString();
  if (name == Settings.CurrentShape) return;
  try {
    Designs.LoadShape(Settings, name);
  } catch (const DesignFileError& error) {
    Message(QString::fromStdString(error.what()));
    return;
  }
  AskFileName = true;  // another design: the next Save asks for its file
}

bool frmMain::NameIsNew() const {
  const QString name = NewDialog->txtNew->text();
  for (int entry = 0; entry < cmbAnim->count(); ++entry)
    if (QString::compare(cmbAnim->itemText(entry), name, Qt::CaseInsensitive) == 0) return false;
  return true;
}

QString frmMain::AskName() {
  SetWindowOnTop(NewDialog, true);
  NewDialog->ShowModal();
  return NewDialog->txtNew->text();
}

void frmMain::AddShape() {
  timAnim.stop();
  NewDialog->txtNew->clear();
  NewDialog->cmdNew[0]->setEnabled(false);
  NewDialog->lblNew->setText(QStringLiteral("Add new shape:"));
  const QString typed = AskName();
  if (!typed.isEmpty() && NameIsNew()) {
    const QString name = Capitalised(typed);
    if (!IsValidDesignName(name.toStdString())) {
      Message(NameRules);
    } else if (DesignFileResult saved = Designs.SaveShape(Settings, name.toStdString()); !saved) {
      Message(QString::fromStdString(saved.Reason));
    } else {
      AddToList(name);
      // The list selects the typed text whatever its case.
      cmbAnim->setCurrentIndex(cmbAnim->findText(typed, Qt::MatchFixedString));
      cmbAnim_Click();
    }
  }
  timAnim.start();
}

void frmMain::mnuUpdate_Click() {
  if (Exporting) return;
  cmbAnim->setFocus();
  if (Settings.CurrentShape.empty()) return Message(QStringLiteral("There is no shape to update."));
  if (DesignFileResult saved = SaveCurrentShape(); !saved)
    return Message(QString::fromStdString(saved.Reason));
  Message("Shape '" + QString::fromStdString(Settings.CurrentShape) + "' properties updated.");
}

void frmMain::mnuRemove_Click() {
  if (Exporting) return;
  if (cmbAnim->count() < 2)
    return Message(QStringLiteral("There must be at least one item in the flinder."));
  if (dialogs_.AskYesNo(this, "Remove shape '" + cmbAnim->currentText() + "'?")) RunCommand(2);
}

void frmMain::RemoveSelectedShape() {
  const int entry = cmbAnim->currentIndex();
  if (entry < 0) return;
  if (DesignFileResult removed = Designs.RemoveShape(cmbAnim->itemText(entry).toStdString());
      !removed)
    return Message(QString::fromStdString(removed.Reason));
  cmbAnim->removeItem(entry);
  Settings.CurrentShape.clear();
  if (cmbAnim->count() > 0) {
    cmbAnim->setCurrentIndex(0);
    cmbAnim_Click();
  }
}

void frmMain::mnuRename_Click() {
  if (Exporting) return;
  const QString oldName = cmbAnim->currentText();
  NewDialog->lblNew->setText(QStringLiteral("Rename shape:"));
  NewDialog->txtNew->setText(oldName);
  NewDialog->txtNew->setSelection(1, static_cast<int>(oldName.size()) - 1);
  const QString newName = AskName();
  if (newName.isEmpty() || !NameIsNew() || cmbAnim->currentIndex() < 0) return;
  if (!IsValidDesignName(newName.toStdString())) return Message(NameRules);
  DesignFileResult renamed =
      Designs.RenameShape(Settings, oldName.toStdString(), newName.toStdString());
  if (!renamed) return Message(QString::fromStdString(renamed.Reason));
  cmbAnim->setItemText(cmbAnim->currentIndex(), newName);
}

void frmMain::ChooseCaptionFont() {
  dlgAnim.Color = 0;
  std::optional<CaptionFont> chosen = dialogs_.ChooseFont(this, Settings.Font);
  if (!chosen) return;
  const bool strikethrough = Settings.Font.FontStrikethru;
  Settings.Font = *chosen;
  Settings.Font.FontStrikethru = strikethrough;
  Panel->optCol[Text]->setChecked(true);
  Panel->optCol_Click(Text);
  QCoreApplication::processEvents();
}

void frmMain::OpenManual() {
  const QString manual = QString::fromStdString(ManualFile);
  if (!dialogs_.OpenUrl(QUrl::fromLocalFile(manual).toString()))
    Message("Cannot start a web browser to show the manual " + manual + ".");
}

void frmMain::mnuAbout_Click() {
  if (!Splash) {
    Splash = new frmSplash(
        this, "Flinder manual (" + QFileInfo(QString::fromStdString(ManualFile)).fileName() + ")");
    Splash->OpenLink = [this] { OpenManual(); };
  }
  SetWindowOnTop(Splash, true);
  Splash->exec();
  SetWindowOnTop(this, Menus.mnuOnTop->isChecked());
}

}  // namespace flinder
