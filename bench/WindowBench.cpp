// The desktop program against its own yardsticks, on the offscreen platform:
// an export from the window beside flinder-export on the same design (the
// largest cycle there is), and start-up with a very long design list.
// Usage: bench_window DESIGNS.INI NAME [DESIGNS-AT-START]
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app/PlatformDialogs.h"
#include "app/frmMain.h"
#include "design/IniDocument.h"
#include "design/ShapeRecord.h"
#include "files/TemporaryFolder.h"

namespace flinder {
namespace {

// Dialogs that save to one file and drop every message.
class FixedDialogs : public PlatformDialogs {
 public:
  QString Output;
  std::optional<ColourValue> PickColour(QWidget*, ColourValue) override { return std::nullopt; }
  void ShowMessage(QWidget*, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  bool AskYesNo(QWidget*, const QString&) override { return false; }
  std::optional<SaveFileChoice> AskSaveFileName(QWidget*, const QString&,
                                                const std::vector<SaveFileType>&, int selected,
                                                const QString&) override {
    return SaveFileChoice{Output, selected};
  }
  std::optional<CaptionFont> ChooseFont(QWidget*, const CaptionFont&) override {
    return std::nullopt;
  }
  std::optional<QString> AskFolder(QWidget*, const QString&, const QString&) override {
    return std::nullopt;
  }
  void OpenUrl(const QString&, std::function<void()>) override {}
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Seconds for one export of `name` from a started window.
double WindowExport(const std::string& iniFile, const std::string& name, const QString& output) {
  FixedDialogs dialogs;
  dialogs.Output = output;
  frmMain window(dialogs);
  window.show();
  window.InitApplication(iniFile, {});
  window.cmbAnim->setCurrentText(QString::fromStdString(name));
  window.cmbAnim_Click();
  QElapsedTimer clock;
  clock.start();
  window.mnuSaveAs_Click();
  if (!QTest::qWaitFor([&] { return !window.Busy(); }, 600000)) return -1;
  return clock.nsecsElapsed() / 1e9;
}

double ToolExport(const std::string& iniFile, const std::string& name, const QString& output) {
  const QString tool = QCoreApplication::applicationDirPath() + "/flinder-export";
  QElapsedTimer clock;
  clock.start();
  QProcess::execute(
      tool, {"--designs", QString::fromStdString(iniFile), QString::fromStdString(name), output});
  return clock.nsecsElapsed() / 1e9;
}

// Seconds from making the window to its first paint, on a design file of
// `count` designs.
double StartUp(int count, const std::string& folder) {
  // One design written by the program, its section repeated under each name.
  IniDocument one;
  ShapeSettings settings;
  for (int i = 0; i < ParameterCount; ++i) settings.SetSlider(static_cast<std::int16_t>(i), 0.3f);
  WriteShape(one, settings, "Design");
  const std::string bytes = one.Bytes();
  const std::string body = bytes.substr(bytes.find("[Design]") + 8);
  std::string list = "[Window]\nLeft=1500\nTop=1500\n\n[Shapes]\n", sections;
  for (int i = 0; i < count; ++i) {
    const std::string name = "Design " + std::to_string(i);
    list += name + "=1\n";
    sections += "\n[" + name + "]" + body;
  }
  const std::string iniFile = folder + "/many.ini";
  std::ofstream(iniFile, std::ios::binary) << list << sections;

  FixedDialogs dialogs;
  QElapsedTimer clock;
  clock.start();
  frmMain window(dialogs);
  window.show();
  window.InitApplication(iniFile, {});
  if (!QTest::qWaitForWindowExposed(&window)) return -1;
  window.repaint();
  return clock.nsecsElapsed() / 1e9;
}

}  // namespace
}  // namespace flinder

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 3) {  // `make bench` runs every bench_* without arguments
    std::printf("usage: bench_window DESIGNS.INI NAME [DESIGNS-AT-START] (bench/window-export)\n");
    return 0;
  }
  const std::string iniFile = argv[1], name = argv[2];
  flinder::TemporaryFolder scratch;
  const QString output = QString::fromStdString(scratch.Path() + "/out.gif");
  std::vector<double> window, tool;
  for (int round = 0; round < 5; ++round) {
    tool.push_back(flinder::ToolExport(iniFile, name, output));
    window.push_back(flinder::WindowExport(iniFile, name, output));
  }
  const double w = flinder::Median(window), t = flinder::Median(tool);
  std::printf("export of %s: window %.3f s, flinder-export %.3f s, ratio %.2f\n", name.c_str(), w,
              t, w / t);
  const int count = argc > 3 ? std::atoi(argv[3]) : 100000;
  std::printf("start-up with %d designs: %.3f s\n", count, flinder::StartUp(count, scratch.Path()));
  return 0;
}
