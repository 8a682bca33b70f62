#include "app/PlatformDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QProcess>
#include <cmath>

namespace flinder {

std::optional<ColourValue> QtPlatformDialogs::PickColour(QWidget* parent, ColourValue current) {
  QColor initial(RedOf(current), GreenOf(current), BlueOf(current));
  QColor picked = QColorDialog::getColor(initial, parent);
  if (!picked.isValid()) return std::nullopt;
  return MakeColour(picked.red(), picked.green(), picked.blue());
}

void QtPlatformDialogs::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, parent);
  box.exec();
}

bool QtPlatformDialogs::AskYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, ApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  return box.exec() == QMessageBox::Yes;
}

// The dialog adds the chosen type's extension itself, so that it asks before
// replacing the file of that full name.
std::optional<SaveFileChoice> QtPlatformDialogs::AskSaveFileName(
    QWidget* parent, const QString& title, const std::vector<SaveFileType>& types, int selected,
    const QString& suggested) {
  const QFileInfo place(suggested);
  QFileDialog dialog(parent, title, place.absolutePath());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  QStringList labels;
  for (const SaveFileType& type : types) labels << type.Label;
  dialog.setNameFilters(labels);
  dialog.selectNameFilter(labels.value(selected));
  dialog.setDefaultSuffix(types.at(selected).Extension);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& label) {
    if (const qsizetype type = labels.indexOf(label); type >= 0)
      dialog.setDefaultSuffix(types[type].Extension);
  });
  dialog.selectFile(place.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
    return std::nullopt;
  const qsizetype type = labels.indexOf(dialog.selectedNameFilter());
  return SaveFileChoice{dialog.selectedFiles().value(0),
                        type >= 0 ? static_cast<int>(type) : selected};
}

std::optional<QString> QtPlatformDialogs::AskFolder(QWidget* parent, const QString& title,
                                                    const QString& suggested) {
  const QString folder = QFileDialog::getExistingDirectory(parent, title, suggested);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

// The dialog opens on the family the font really draws with (the one that
// serves a name like "Arial"); choosing that family again keeps the name,
// and the whole size the dialog shows for a fractional one keeps the size.
std::optional<CaptionFont> QtPlatformDialogs::ChooseFont(QWidget* parent,
                                                         const CaptionFont& initial) {
  QFont font(QString::fromStdString(initial.FontName));
  font.setPointSizeF(initial.FontSize > 0 ? initial.FontSize : 8);
  font.setBold(initial.FontBold);
  font.setItalic(initial.FontItalic);
  font.setUnderline(initial.FontUnderline);
  font.setStrikeOut(initial.FontStrikethru);
  const QString drawnFamily = QFontInfo(font).family();
  font.setFamily(drawnFamily);
  bool accepted = false;
  const QFont chosen = QFontDialog::getFont(&accepted, font, parent);
  if (!accepted) return std::nullopt;
  CaptionFont result;
  result.FontName =
      chosen.family() == drawnFamily ? initial.FontName : chosen.family().toStdString();
  const bool sameSize = std::lround(chosen.pointSizeF()) == std::lround(font.pointSizeF());
  result.FontSize = sameSize ? initial.FontSize : static_cast<float>(chosen.pointSizeF());
  result.FontBold = chosen.bold();
  result.FontItalic = chosen.italic();
  result.FontUnderline = chosen.underline();
  result.FontStrikethru = chosen.strikeOut();
  return result;
}

void QtPlatformDialogs::OpenUrl(const QString& url, std::function<void()> failed) {
  auto* handler = new QProcess;
  QObject::connect(handler, &QProcess::finished, handler,
                   [handler, failed](int code, QProcess::ExitStatus status) {
                     if (code != 0 || status != QProcess::NormalExit) failed();
                     handler->deleteLater();
                   });
  QObject::connect(handler, &QProcess::errorOccurred, handler,
                   [handler, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     failed();
                     handler->deleteLater();
                   });
  handler->start(QStringLiteral("xdg-open"), {url});
}

}  // namespace flinder
