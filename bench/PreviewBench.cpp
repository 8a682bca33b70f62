// One tick of the desktop program's live preview on the worst-case design:
// the frame drawn into the preview's raster, then painted into the window's
// backing store. Also each half alone, to show where the time goes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <fstream>
#include <optional>
#include <string>

#include "WorstCaseDesign.h"
#include "app/PlatformDialogs.h"
#include "app/frmMain.h"
#include "design/IniDocument.h"
#include "design/ShapeRecord.h"
#include "files/TemporaryFolder.h"

namespace flinder {
namespace {

// Dialogs nobody answers: every colour dialog is cancelled, messages dropped.
class SilentDialogs : public PlatformDialogs {
 public:
  std::optional<ColourValue> PickColour(QWidget*, ColourValue) override { return std::nullopt; }
  void ShowMessage(QWidget*, const QString&) override {}
  bool AskYesNo(QWidget*, const QString&) override { return false; }
  std::optional<SaveFileChoice> AskSaveFileName(QWidget*, const QString&,
                                                const std::vector<SaveFileType>&, int,
                                                const QString&) override {
    return std::nullopt;
  }
  std::optional<CaptionFont> ChooseFont(QWidget*, const CaptionFont&) override {
    return std::nullopt;
  }
  std::optional<QString> AskFolder(QWidget*, const QString&, const QString&) override {
    return std::nullopt;
  }
  void OpenUrl(const QString&, std::function<void()> failed) override { failed(); }
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int Paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

// A shown main window started on a design file holding only the worst-case
// design, the way the program starts on its own file. Its timer is stopped
// so that only the benchmark draws, and it is big enough to show the whole
// preview, so that every paint covers all of it.
class PreviewWindow {
 public:
  PreviewWindow() {
    IniDocument file;
    WriteShape(file, WorstCaseDesign(), "Worst case");
    const std::string iniFile = scratch_.Path() + "/flinder.ini";
    std::ofstream(iniFile, std::ios::binary) << file.Bytes();
    Window.show();
    Window.InitApplication(iniFile, {});
    Window.timAnim.stop();
    Window.resize(760, 520);
    QCoreApplication::processEvents();
  }

  // Empty when a tick draws and paints the whole 420 x 420 preview,
  // otherwise what is wrong.
  std::string Problem() {
    if (!scratch_.Problem().empty()) return scratch_.Problem();
    if (Window.Settings.CurrentShape.empty()) return "the design did not load";
    PictureBox& box = *Window.picAnim;
    if (box.size() != QSize(420, 420)) return "the preview is not 420 x 420";
    if (box.visibleRegion() != QRegion(box.rect())) return "part of the preview is hidden";
    PaintCounter counter;
    box.installEventFilter(&counter);
    box.repaint();
    box.removeEventFilter(&counter);
    return counter.Paints == 1 ? "" : "a repaint did not paint the preview";
  }

  TemporaryFolder scratch_;
  SilentDialogs dialogs_;
  frmMain Window{dialogs_};
};

// Runs `body` once an iteration on a freshly started window, or stops the
// benchmark with the reason the window is not fit to measure.
template <typename Body>
void OnPreview(benchmark::State& state, Body body) {
  PreviewWindow preview;
  if (const std::string problem = preview.Problem(); !problem.empty()) {
    state.SkipWithError(problem.c_str());
    return;
  }
  frmMain& w = preview.Window;
  for (auto _ : state) body(w);
}

// Qt converts the picture for the backing store on its own worker threads:
// the time is wall time, and the CPU column counts every thread.
void WallAndAllThreads(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();
}

void PreviewTick(benchmark::State& state) {
  OnPreview(state, [](frmMain& w) {
    w.timAnim_Timer();
    w.picAnim->repaint();
  });
}
BENCHMARK(PreviewTick)->Apply(WallAndAllThreads);

void PreviewDrawFrame(benchmark::State& state) {
  OnPreview(state, [](frmMain& w) {
    w.Renderer.DrawFrame(w.picAnim->Surface, w.Settings);
    benchmark::DoNotOptimize(w.picAnim->Surface.Capture().Pixels.data());
  });
}
BENCHMARK(PreviewDrawFrame)->Apply(WallAndAllThreads);

void PreviewRepaint(benchmark::State& state) {
  OnPreview(state, [](frmMain& w) { w.picAnim->repaint(); });
}
BENCHMARK(PreviewRepaint)->Apply(WallAndAllThreads);

// The offscreen platform warns at every window it makes that it cannot pass
// size hints on; the warnings would break up the table.
QtMessageHandler DefaultMessageHandler = nullptr;
void DropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (!text.contains(QLatin1String("propagateSizeHints")))
    DefaultMessageHandler(type, context, text);
}

}  // namespace
}  // namespace flinder

int main(int argc, char** argv) {
  // The window needs no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  flinder::DefaultMessageHandler = qInstallMessageHandler(flinder::DropSizeHintWarnings);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
