// The Edit menu's own items: Undo and Redo over the history of design edits,
// Copy Picture and Copy HTML; and the preview's drag out of the exported file.
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/frmMain.h"
#include "export/PictureMimeType.h"

namespace flinder {
namespace {

// The picture under the pointer while the file is dragged, at most.
constexpr int DragPictureSize = 64;

// The file's address, and its bytes under the MIME type of its format for
// programs that paste pictures rather than files.
QMimeData* ExportedFileData(const QString& file) {
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(file)});
  QFile picture(file);
  if (picture.open(QIODevice::ReadOnly))
    data->setData(QString::fromStdString(PictureMimeType(file.toStdString())), picture.readAll());
  return data;
}

}  // namespace

void frmMain::ConnectUndo() {
  connect(Menus.mnuUndo, &QAction::triggered, this, [this] { History.Undo(); });
  connect(Menus.mnuRedo, &QAction::triggered, this, [this] { History.Redo(); });
  connect(&History.Stack, &QUndoStack::indexChanged, this, [this] { ShowUndoItems(); });
  History.LastingChanged = [this] { ShowUndoItems(); };
  ShowUndoItems();
}

void frmMain::ShowUndoItems() {
  auto show = [this](QAction* item, const QString& caption, bool can, const QString& step) {
    item->setText(step.isEmpty() ? caption : caption + " " + step);
    item->setEnabled(can && !Busy());
  };
  show(Menus.mnuUndo, QStringLiteral("&Undo"), History.CanUndo(), History.Stack.undoText());
  show(Menus.mnuRedo, QStringLiteral("&Redo"), History.CanRedo(), History.Stack.redoText());
}

void frmMain::mnuCopyPicture_Click() {
  if (LastExportedFile.empty()) {
    auto* data = new QMimeData;
    data->setImageData(picAnim->Picture());
    QApplication::clipboard()->setMimeData(data);
    return;
  }
  const QString file = QString::fromStdString(LastExportedFile);
  if (!QFile::exists(file)) return Message("Cannot copy " + file + ": the file is gone.");
  QApplication::clipboard()->setMimeData(ExportedFileData(file));
}

// Editors that take HTML paste the picture; the others get the markup.
void frmMain::mnuCopyHtml_Click() {
  if (webSnippet_.empty()) return;
  const QString html = QString::fromStdString(webSnippet_);
  auto* data = new QMimeData;
  data->setHtml(html);
  data->setText(html);
  QApplication::clipboard()->setMimeData(data);
}

void frmMain::DragExportedFile() {
  if (LastExportedFile.empty()) return;
  auto* drag = new QDrag(picAnim);
  drag->setMimeData(ExportedFileData(QString::fromStdString(LastExportedFile)));
  drag->setPixmap(QPixmap::fromImage(
      picAnim->Picture().scaled(DragPictureSize, DragPictureSize, Qt::KeepAspectRatio)));
  drag->exec(Qt::CopyAction);
}

}  // namespace flinder
