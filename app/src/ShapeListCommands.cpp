// The commands of the design list: add, update, remove, rename, the caption
// font and the manual.
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "app/frmMain.h"
#include "app/frmNew.h"
#include "app/frmSplash.h"
#include "design/DesignName.h"

namespace flinder {
namespace {

QString Quoted(const std::string& name) {
  return "'" + QString::fromStdString(name) + "'";
}

}  // namespace

// Messages go to the window in front: the About window or the name dialog
// when one is open, so they never hide behind it.
void frmMain::Message(const QString& text) {
  QWidget* front = QApplication::activeModalWidget();
  dialogs_.ShowMessage(front ? front : this, text);
}

void frmMain::RunCommand(std::int16_t code) {
  cmbAnim->setFocus();
  switch (code) {
    case 0:
      AddShape();
      break;
    case 1:
      if (Result<> saved = SaveCurrentShape(); !saved)
        Message(QString::fromStdString(saved.Message()));
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

Result<> frmMain::SaveCurrentShape() {
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
  const std::string name = cmbAnim->currentText().toStdString();
  // The design being left is saved first; when that fails the user chooses
  // between its changes and the other design.
  if (Result<> saved = SaveCurrentShape(); !saved) {
    std::string reason = saved.Message();
    if (reason.ends_with('.')) reason.pop_back();
    if (name == Settings.CurrentShape) return Message(QString::fromStdString(saved.Message()));
    const QString left = Quoted(Settings.CurrentShape);
    if (!dialogs_.AskYesNo(this, "Cannot save " + left + ": " + QString::fromStdString(reason) +
                                     ". Open " + Quoted(name) + " anyway? The changes to " + left +
                                     " will be lost."))
      return ShowCurrentInList();
  }
  if (name == Settings.CurrentShape) return;
  if (Result<> loaded = Designs.LoadShape(Settings, name); !loaded)
    return Message(QString::fromStdString(loaded.Message()));
  AskFileName = true;  // another design: the next Save asks for its file
  History.Clear();
  picAnim->SetAccessibleValue(QString::fromStdString(name));
}

bool frmMain::NameIsNew() const {
  return ListEntryOf(NewDialog->txtNew->text()) < 0;
}

int frmMain::ListEntryOf(const QString& name) const {
  const std::string wanted = name.toStdString();
  for (int entry = 0; entry < cmbAnim->count(); ++entry)
    if (SameDesignName(cmbAnim->itemText(entry).toStdString(), wanted)) return entry;
  return -1;
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
    const QString name = QString::fromStdString(CapitalisedName(typed.toStdString()));
    if (!IsValidDesignName(name.toStdString())) {
      Message(QString::fromUtf8(DesignNameRules));
    } else if (Result<> saved = Designs.SaveShape(Settings, name.toStdString()); !saved) {
      Message(QString::fromStdString(saved.Message()));
    } else {
      AddToList(name);
      // The list selects the typed text whatever its case.
      cmbAnim->setCurrentIndex(ListEntryOf(typed));
      cmbAnim_Click();
    }
  }
  timAnim.start();
}

void frmMain::mnuUpdate_Click() {
  cmbAnim->setFocus();
  if (Settings.CurrentShape.empty()) return Message(QStringLiteral("There is no shape to update."));
  if (Result<> saved = SaveCurrentShape(); !saved)
    return Message(QString::fromStdString(saved.Message()));
  Message("Shape '" + QString::fromStdString(Settings.CurrentShape) + "' properties updated.");
}

void frmMain::mnuRemove_Click() {
  if (cmbAnim->count() < 2)
    return Message(QStringLiteral("There must be at least one item in the flinder."));
  if (dialogs_.AskYesNo(this, "Remove shape '" + cmbAnim->currentText() + "'?")) RunCommand(2);
}

void frmMain::RemoveSelectedShape() {
  const int entry = cmbAnim->currentIndex();
  if (entry < 0) return;
  if (Result<> removed = Designs.RemoveShape(cmbAnim->itemText(entry).toStdString()); !removed)
    return Message(QString::fromStdString(removed.Message()));
  cmbAnim->removeItem(entry);
  Settings.CurrentShape.clear();
  if (cmbAnim->count() > 0) {
    cmbAnim->setCurrentIndex(0);
    cmbAnim_Click();
  }
}

void frmMain::mnuRename_Click() {
  const QString oldName = cmbAnim->currentText();
  NewDialog->lblNew->setText(QStringLiteral("Rename shape:"));
  NewDialog->txtNew->setText(oldName);
  NewDialog->txtNew->setSelection(1, static_cast<int>(oldName.size()) - 1);
  const QString newName = AskName();
  if (newName.isEmpty() || !NameIsNew() || cmbAnim->currentIndex() < 0) return;
  if (!IsValidDesignName(newName.toStdString())) return Message(QString::fromUtf8(DesignNameRules));
  Result<> renamed = Designs.RenameShape(Settings, oldName.toStdString(), newName.toStdString());
  if (!renamed) return Message(QString::fromStdString(renamed.Message()));
  cmbAnim->setItemText(cmbAnim->currentIndex(), newName);
}

void frmMain::ChooseCaptionFont() {
  dlgAnim.Color = 0;
  std::optional<CaptionFont> chosen = dialogs_.ChooseFont(this, Settings.Font);
  if (!chosen) return;
  History.Record(QStringLiteral("Font"), [&] {
    Settings.Font = *chosen;
    Panel->optCol[Text]->setChecked(true);
    Panel->optCol_Click(Text);
  });
}

void frmMain::OpenManual() {
  const QString manual = QString::fromStdString(ManualFile);
  // A handler that is missing and one that starts and fails are told alike.
  QPointer<frmMain> window(this);
  dialogs_.OpenUrl(QUrl::fromLocalFile(manual).toString(), [window, manual] {
    if (window) window->Message("Cannot start a web browser to show the manual " + manual + ".");
  });
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
