#include "tools/Exporter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "FrameCopies.h"
#include "design/DesignFile.h"
#include "design/ExportChoices.h"
#include "design/ShapeList.h"
#include "design/ShapeRecord.h"
#include "export/AnimationExport.h"
#include "files/FileAccess.h"
#include "image/IMGLIB1.h"
#include "web/AllFileNames.h"
#include "web/Printable.h"
#include "web/WebExport.h"
#include "web/WebSnippet.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

constexpr const char* Usage =
    "usage: flinder-export [--designs FILE] [--optimize] [--format gif|webp|apng|svg] "
    "[--loop forever|N] [--scale 1|2|3] [--motion steps|smooth] "
    "(--list | [--frames DIR [--frame-format EXT]] NAME OUTPUT | --all OUTDIR | "
    "--web DIR NAME | --all --web DIR | --designs-path)";

constexpr const char* Help =
    "Exports the designs of a Flinder design file as animated GIF, WebP, APNG or SVG files.\n"
    "\n"
    "  --designs FILE       the design file (default: the one the desktop program uses)\n"
    "  --designs-path       print the design file's path\n"
    "  --list               list the design names, in file order\n"
    "  NAME OUTPUT          export one design, one rotation cycle; OUTPUT's extension\n"
    "                       .gif, .webp, .png or .apng, .svg names the format (else GIF)\n"
    "  --all OUTDIR         export every listed design as OUTDIR/NAME.gif (or the\n"
    "                       extension of --format)\n"
    "  --web DIR NAME       write one design for web pages into DIR: NAME.svg, NAME.webp,\n"
    "                       NAME@2x.webp, NAME.gif (optimised), NAME-still.png and\n"
    "                       NAME.html, the <picture> that serves them, all or none;\n"
    "                       print their sizes ([Export] WebScales in the design file\n"
    "                       chooses the 1x, 2x and 3x copies; default 1,2)\n"
    "  --all --web DIR      the same for every listed design\n"
    "  --format FORMAT      write gif, webp (lossless), apng or svg, whatever OUTPUT's\n"
    "                       extension\n"
    "  --loop forever|N     play for ever, or N + 1 times (N 1 to 65535; default 999);\n"
    "                       a WebP file plays at most 65535 times\n"
    "  --scale 1|2|3        draw every length 1, 2 or 3 times larger (default 1)\n"
    "  --motion MOTION      how an SVG file turns the shape: steps, frame by frame as\n"
    "                       the other formats, or smooth, evenly (default: the design\n"
    "                       file's [Export] Motion, else steps)\n"
    "  --optimize           write the size-optimised GIF\n"
    "  --frames DIR         also keep every frame as DIR/frame1.bmp ... (not for SVG)\n"
    "  --frame-format EXT   write those frames as jpg, gif, pcx, png or tif files\n"
    "  --help, --version    print this help or the version\n"
    "\n"
    "Exit codes: 0 success, 1 an export failed, 2 bad usage or an unusable design file,\n"
    "128 + the signal when a signal ends an export.\n";

struct Options {
  std::string Designs;
  std::optional<ExportFormat> Format;
  LoopChoice Loop;
  int Scale = 1;
  std::optional<MotionChoice> Motion;  // none: the design file's choice
  std::string FramesFolder;
  std::string FrameFormat;  // empty: BMP, as the export's own frame files
  std::string AllFolder;
  std::string WebFolder;
  bool All = false;  // every listed design
  bool List = false;
  bool Optimise = false;
  bool DesignsPath = false;
  std::vector<std::string> Positional;
};

// The format an output file is written in.
ExportFormat FormatOf(const Options& options, const std::string& output) {
  return options.Format ? *options.Format : FormatOfFileName(output).value_or(ExportFormat::Gif);
}

// The options, or for a bad command line the line to show: the usage unless
// something more precise.
Result<Options> Parse(const std::vector<std::string>& arguments, std::string defaults) {
  Options options;
  const Failure usage{Usage};
  std::string text;
  options.Designs = std::move(defaults);
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return false;
      into = arguments[++i];
      return true;
    };
    if (a == "--designs") {
      if (!value(options.Designs)) return usage;
    } else if (a == "--frames") {
      if (!value(options.FramesFolder)) return usage;
    } else if (a == "--frame-format") {
      if (!value(options.FrameFormat)) return usage;
    } else if (a == "--all") {
      options.All = true;
      // --all --web DIR: the folder is the web export's.
      if (i + 1 < arguments.size() && arguments[i + 1] == "--web") continue;
      if (!value(options.AllFolder)) return usage;
    } else if (a == "--web") {
      if (!value(options.WebFolder)) return usage;
    } else if (a == "--format") {
      if (!value(text)) return usage;
      options.Format = FormatNamed(text);
      if (!options.Format)
        return Failure{"flinder-export: unknown --format \"" + text +
                       "\": gif, webp, apng or svg"};
    } else if (a == "--loop") {
      if (!value(text)) return usage;
      std::optional<LoopChoice> loop = ParseLoop(text);
      if (!loop)
        return Failure{"flinder-export: bad --loop \"" + text +
                       "\": forever or a whole number 1 to 65535"};
      options.Loop = *loop;
    } else if (a == "--scale") {
      if (!value(text)) return usage;
      std::optional<int> scale = ParseScale(text);
      if (!scale) return Failure{"flinder-export: bad --scale \"" + text + "\": 1, 2 or 3"};
      options.Scale = *scale;
    } else if (a == "--motion") {
      if (!value(text)) return usage;
      options.Motion = ParseMotion(text);
      if (!options.Motion)
        return Failure{"flinder-export: bad --motion \"" + text + "\": steps or smooth"};
    } else if (a == "--list") {
      options.List = true;
    } else if (a == "--designs-path") {
      options.DesignsPath = true;
    } else if (a == "--optimize") {
      options.Optimise = true;
    } else if (a.starts_with("--") || a.empty()) {
      return usage;
    } else {
      options.Positional.push_back(a);
    }
  }
  if (!options.WebFolder.empty()) {
    // One design or all; every format and scale is the web export's own.
    const bool one = options.Positional.size() == 1 && !options.All;
    const bool all = options.Positional.empty() && options.All && options.AllFolder.empty();
    if ((!one && !all) || options.List || options.DesignsPath || options.Format ||
        options.Scale != 1 || !options.FramesFolder.empty())
      return usage;
    return options;
  }
  const int modes =
      options.List + options.DesignsPath + options.All + !options.Positional.empty();
  if (modes != 1) return usage;
  if (!options.Positional.empty() && options.Positional.size() != 2) return usage;
  if (!options.FramesFolder.empty() && options.Positional.empty()) return usage;
  const bool svg = !options.Positional.empty() &&
                   FormatOf(options, options.Positional[1]) == ExportFormat::Svg;
  if (!options.FramesFolder.empty() && svg)
    return Failure{"flinder-export: --frames: an SVG file is drawn from no frames"};
  if (!options.FrameFormat.empty()) {
    int type = AnyImageType;
    GetFileFilter(options.FrameFormat, type);
    if (options.FramesFolder.empty() || type == AnyImageType) return usage;
    if (options.FrameFormat == "bmp") options.FrameFormat.clear();
  }
  return options;
}

// True when `path` is the file standard output goes to (an output of
// /dev/stdout), whose bytes must not be followed by the summary line.
bool IsStandardOutput(const std::string& path) {
  struct stat output, standard;
  return ::stat(path.c_str(), &output) == 0 && ::fstat(STDOUT_FILENO, &standard) == 0 &&
         output.st_dev == standard.st_dev && output.st_ino == standard.st_ino;
}

class Exporter {
 public:
  Exporter(const Options& options, std::ostream& out, std::ostream& err)
      : options_(options), out_(out), err_(err), designs_(options.Designs) {}

  int Run(bool progress) {
    if (Result<> read = ReadDesigns(); !read) {
      err_ << "flinder-export: " << read.Message() << "\n";
      return ExitUsage;
    }
    const std::vector<std::string> names = ScanShapeList(document_.Bytes());
    if (options_.List) {
      for (const std::string& name : names) out_ << name << "\n";
      return ExitOk;
    }

    if (!options_.All &&
        std::find(names.begin(), names.end(), options_.Positional[0]) == names.end()) {
      err_ << "flinder-export: No design named \"" << options_.Positional[0] << "\" in "
           << options_.Designs << "\n";
      return ExitUsage;
    }
    if (options_.All) return ExportAll(names, progress);
    if (!options_.WebFolder.empty()) {
      const std::vector<std::string> stems = AllFileStems(names);
      const auto at = std::find(names.begin(), names.end(), options_.Positional[0]) - names.begin();
      return ExportWeb(names[at], stems[at]) ? ExitOk : ExitExportFailed;
    }
    if (!options_.FramesFolder.empty() && !MakeFolder(options_.FramesFolder))
      return ExitExportFailed;
    return ExportOne(options_.Positional[0], options_.Positional[1], options_.FramesFolder)
               ? ExitOk
               : ExitExportFailed;
  }

 private:
  // One read serves every design exported, however many there are.
  Result<> ReadDesigns() {
    // A missing file lists nothing; here it is an error of its own.
    if (Result<> opened = CanOpenFile(options_.Designs); !opened)
      return Failure{"Cannot read the design file " + options_.Designs + ": " + opened.Message(),
                     opened.Error().Errno};
    Result<IniDocument> document = designs_.DocumentToRead();
    if (!document) return document.Error();
    document_ = std::move(*document);
    return {};
  }

  bool MakeFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
      err_ << "flinder-export: Cannot make the folder " << folder << ": " << error.message()
           << "\n";
    return !error;
  }

  // A design as an export starts from it: its record, a surface of its
  // size, a renderer at rest.
  struct Drawing {
    ShapeSettings Settings;
    DrawingSurface Surface;
    FrameRenderer Renderer;
  };
  Drawing DrawingOf(const std::string& name) const {
    ShapeSettings settings;
    ReadShape(document_, settings, name);
    DrawingSurface surface(static_cast<int>(settings.SliderVal(Width)),
                           static_cast<int>(settings.SliderVal(Height)));
    return {std::move(settings), std::move(surface), FrameRenderer()};
  }

  // How an SVG turns: --motion, else the design file's choice.
  MotionChoice Motion() const {
    return options_.Motion.value_or(MotionFromKey(document_.Read("Export", "Motion")));
  }

  bool ExportOne(const std::string& name, const std::string& output, const std::string& frames) {
    if (Result<> allowed = designs_.CheckOutput(output); !allowed) {
      err_ << "flinder-export: " << allowed.Message() << "\n";
      return false;
    }
    auto [settings, surface, renderer] = DrawingOf(name);
    FrameCopies host(err_, frames, options_.FrameFormat);
    ExportRequest request;
    request.OutputFileName = output;
    request.Format = FormatOf(options_, output);
    request.Motion = Motion();
    request.Optimise = options_.Optimise;
    request.Loop = options_.Loop;
    request.Scale = options_.Scale;
    Result<ExportSummary> exported =
        AnimationExport(host, renderer, surface, settings).Run(request);
    if (!exported) {
      err_ << "flinder-export: " << exported.Message() << "\n";
      return false;
    }
    const ExportSummary& summary = *exported;
    host.RemoveOlderCopies();
    if (IsStandardOutput(output)) return true;
    out_ << name << " -> " << output << " (" << summary.FramesInFile << " frames, " << summary.Width
         << "x" << summary.Height << ", scale " << summary.Scale << "x, delay ";
    if (request.Format == ExportFormat::Gif)
      out_ << summary.Delay;
    else
      out_ << summary.DelayMilliseconds << " ms";
    out_ << "): " << summary.Bytes << " bytes\n";
    return true;
  }

  // The design's files for web pages, and their sizes.
  bool ExportWeb(const std::string& name, const std::string& stem) {
    auto [settings, surface, renderer] = DrawingOf(name);
    HeadlessExportHost host;
    WebExportRequest request;
    request.Folder = options_.WebFolder;
    request.Stem = stem;
    request.Alt = WebAltText(settings, name);
    request.Loop = options_.Loop;
    request.Motion = Motion();
    request.Scales = WebScalesFromKey(document_.Read("Export", "WebScales"));
    Result<WebExportSummary> exported = RunWebExport(host, renderer, surface, settings, request);
    for (const std::string& note : host.Notes) err_ << "flinder-export: " << note << "\n";
    if (!exported) {
      err_ << "flinder-export: " << exported.Message() << "\n";
      return false;
    }
    out_ << name << " -> " << options_.WebFolder << "/" << stem << ".html\n"
         << SizeTable(exported->Picture) << "\n";
    return true;
  }

  int ExportAll(const std::vector<std::string>& names, bool progress) {
    const std::string& folder =
        options_.WebFolder.empty() ? options_.AllFolder : options_.WebFolder;
    if (!MakeFolder(folder)) return ExitExportFailed;
    // Listed names no design can have were never shown as designs; each is
    // said, and the run fails, so that a script sees what it did not get.
    std::vector<std::string> leftOut;
    ScanShapeList(document_.Bytes(), &leftOut);
    for (const std::string& name : leftOut)
      err_ << "flinder-export: The listed design \"" << Printable(name)
           << "\" is left out: its name cannot be a design's.\n";
    bool allOk = leftOut.empty();
    const std::vector<std::string> stems = AllFileStems(names);
    const std::string extension(FormatExtension(options_.Format.value_or(ExportFormat::Gif)));
    for (size_t i = 0; i < names.size(); ++i) {
      if (progress) DrawProgress(i, names.size(), names[i]);
      if (!options_.WebFolder.empty())
        allOk &= ExportWeb(names[i], stems[i]);
      else
        allOk &= ExportOne(names[i], options_.AllFolder + "/" + stems[i] + "." + extension, {});
    }
    if (progress) DrawProgress(names.size(), names.size(), "");
    return allOk ? ExitOk : ExitExportFailed;
  }

  void DrawProgress(size_t done, size_t total, const std::string& name) {
    constexpr int BarWidth = 30;
    int filled = total == 0 ? BarWidth : static_cast<int>(BarWidth * done / total);
    err_ << "\r[" << std::string(filled, '#') << std::string(BarWidth - filled, ' ') << "] " << done
         << "/" << total << " " << name << "\033[K";
    if (done == total) err_ << "\n";
    err_.flush();
  }

  const Options& options_;
  std::ostream& out_;
  std::ostream& err_;
  DesignFile designs_;
  IniDocument document_;
};

}  // namespace

int RunExporter(const std::vector<std::string>& arguments,
                const PreparedDesignFile& defaultDesigns, std::ostream& out, std::ostream& err,
                bool progress) {
  auto given = [&](const char* option) {
    return std::find(arguments.begin(), arguments.end(), option) != arguments.end();
  };
  if (given("--help")) {
    out << Usage << "\n\n" << Help;
    return ExitOk;
  }
  if (given("--version")) {
    out << "flinder-export " << FLINDER_VERSION << "\n";
    return ExitOk;
  }
  const Result<Options> options = Parse(arguments, defaultDesigns.Path);
  if (!options) {
    err << options.Message() << "\n";
    return ExitUsage;
  }
  if (options->Designs == defaultDesigns.Path && !defaultDesigns.Problem.empty()) {
    err << "flinder-export: " << defaultDesigns.Problem << "\n";
    return ExitUsage;
  }
  if (options->DesignsPath) {
    out << options->Designs << "\n";
    return ExitOk;
  }
  return Exporter(*options, out, err).Run(progress);
}

}  // namespace flinder
