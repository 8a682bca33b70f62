// The export for web pages from the window: the folder dialog, then the
// design's files written there on a worker thread over a snapshot of the
// design, then the window with their sizes.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <memory>
#include <utility>

#include "app/WebResultWindow.h"
#include "app/frmMain.h"
#include "web/WebExport.h"
#include "web/WebFileStem.h"
#include "web/WebSnippet.h"

namespace flinder {

void frmMain::ExportForWeb() {
  if (export_) return;
  const std::optional<QString> folder =
      dialogs_.AskFolder(this, QStringLiteral("Export for Web"), SuggestedWebFolder());
  if (!folder || folder->isEmpty()) return;
  webFolder_ = *folder;

  std::vector<std::string> listed;
  for (int i = 0; i < cmbAnim->count(); ++i) listed.push_back(cmbAnim->itemText(i).toStdString());
  WebExportRequest request;
  request.Folder = folder->toStdString();
  request.Stem = WebFileStem(std::move(listed), Settings.CurrentShape);
  request.Alt = WebAltText(Settings, Settings.CurrentShape);
  request.Loop = ExportLoop();
  request.Motion = ExportMotion();
  request.Scales = webScales_;
  auto summary = std::make_shared<WebExportSummary>();
  ExportJob job = [request, summary](const ExportCopies& copies) mutable -> Result<> {
    request.Stop = copies.Stop;
    Result<WebExportSummary> exported =
        RunWebExport(copies.Host, copies.Renderer, copies.Surface, copies.Settings, request);
    if (!exported) return exported.Error();
    *summary = std::move(*exported);
    return {};
  };
  auto finished = [this, summary](const ExportWorker& done) {
    if (done.Written()) ShowWebResult(*summary);
  };
  StartExport(QStringLiteral("Flindering for the web. Please wait..."), request.Folder,
              std::move(job), std::move(finished), false);
}

QString frmMain::SuggestedWebFolder() const {
  if (!webFolder_.isEmpty()) return webFolder_;
  if (!LastExportedFile.empty())
    return QFileInfo(QString::fromStdString(LastExportedFile)).absolutePath();
  return QDir::homePath();
}

void frmMain::ShowWebResult(const WebExportSummary& summary) {
  webSnippet_ = summary.Html;
  Menus.mnuCopyHtml->setEnabled(!Busy());
  if (closeAfterExport_) return;  // the program is ending
  if (!WebResult) {
    WebResult = new WebResultWindow(this);
    WebResult->CopyHtml = [this] { mnuCopyHtml_Click(); };
  }
  WebResult->ShowTable(QString::fromStdString(SizeTable(summary.Picture)));
}

}  // namespace flinder
