#include "web/WebExport.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <set>
#include <utility>

#include "animation/ApngEncoder.h"
#include "animation/SvgAnimation.h"
#include "export/AnimationExport.h"
#include "export/StreamedWebp.h"
#include "files/FileAccess.h"
#include "files/ReplacementFileSet.h"
#include "web/WebSnippet.h"

namespace flinder {
namespace {

// "badge.webp", "badge@2x.webp", "badge-still@3x.png".
std::string FileName(const std::string& stem, const std::string& suffix, int scale,
                     const char* extension) {
  std::string name = stem + suffix;
  if (scale > 1) {
    name += '@';
    name += std::to_string(scale);
    name += 'x';
  }
  name += '.';
  return name += extension;
}

// What each file's export tells, passed on as one export's progress: the
// frames of file `k` of `files` count as frames k x F to (k + 1) x F of the
// whole, F being the cycle's. Frame 1 of every raster file is kept as its
// still picture, and the frames of the file that shares its drawing with a
// WebP file are handed to that file as they come.
class WebExportHost : public ExportHost {
 public:
  WebExportHost(ExportHost& host, int files, int cycleFrames)
      : host_(host), files_(files), cycleFrames_(cycleFrames) {}

  // The next file's export begins; `shared` takes its frames 1 to F.
  void Begin(StreamedWebp* shared) {
    ++file_;
    shared_ = shared;
    still_ = Raster();
  }
  Raster TakeStill() { return std::move(still_); }
  // The failure of a WebP file given frames, which stops the file drawing them.
  bool SharedFailed() const { return sharedFailed_; }

  Result<> FrameDrawn(int number, const Raster& frame) override {
    if (number == 1) still_ = frame;
    if (shared_ && number <= cycleFrames_ && !shared_->Add(frame)) {
      sharedFailed_ = true;
      return Failure{"", ECANCELED};
    }
    return host_.FrameDrawn(Offset() + std::min(number, cycleFrames_), frame);
  }
  void FramesConverted(int done, int total) override {
    host_.FramesConverted(Offset() + done * cycleFrames_ / std::max(total, 1),
                          files_ * cycleFrames_);
  }
  void ShowNote(const std::string& text) override {
    if (notes_.insert(text).second) host_.ShowNote(text);
  }

 private:
  int Offset() const { return file_ * cycleFrames_; }

  ExportHost& host_;
  int files_, cycleFrames_;
  int file_ = -1;
  StreamedWebp* shared_ = nullptr;
  bool sharedFailed_ = false;
  Raster still_;
  std::set<std::string> notes_;  // each said once, however many files
};

class WebExport {
 public:
  WebExport(ExportHost& host, FrameRenderer& renderer, DrawingSurface& surface,
            const ShapeSettings& settings, const WebExportRequest& request)
      : host_(host), renderer_(renderer), surface_(surface), settings_(settings),
        request_(request), files_(request.Folder) {}

  Result<WebExportSummary> Run() {
    if (Result<> opened = files_.Open(); !opened) return opened.Error();
    FrameRenderer counting = renderer_;
    counting.SetObserver(nullptr);
    const std::optional<std::vector<double>> poses = CyclePoses(counting, settings_);
    if (!poses)
      return Failure{"Cannot export " + request_.Folder + ": the cycle has more than " +
                     std::to_string(AnimationExport::MaxFrames) + " frames."};
    const int frames = std::max(static_cast<int>(poses->size()) - 1, 1);
    const std::vector<int> scales = request_.Scales.List();
    const bool svg = SvgShowsCaption(settings_);
    // The GIF shares its drawing with the 1x WebP unless real alpha needs
    // the WebP's frames drawn apart.
    const bool shareGif = scales.front() == 1 && !settings_.Transparent;
    const int exports = svg + 1 + static_cast<int>(scales.size()) - shareGif;
    WebExportHost host(host_, exports, frames);

    picture_.Width = surface_.Width();
    picture_.Height = surface_.Height();
    picture_.Alt = request_.Alt;
    if (svg) {
      host.Begin(nullptr);
      if (Result<> written = Animation(host, ExportFormat::Svg, 1); !written) return written.Error();
    }
    {
      std::optional<StreamedWebp> shared;
      const std::string webp = FileName(request_.Stem, "", 1, "webp");
      if (shareGif)
        shared.emplace(files_.StagedPath(webp), surface_.Width(), surface_.Height(),
                       AnimationTiming{DelayMilliseconds(settings_.SliderVal(Delay)),
                                       request_.Loop.Plays()},
                       frames, request_.Workers);
      host.Begin(shared ? &*shared : nullptr);
      Result<> gif = Animation(host, ExportFormat::Gif, 1);
      if (!gif && !host.SharedFailed()) return gif.Error();
      if (shared) {
        Result<std::uintmax_t> bytes = shared->Finish();
        if (!bytes) return Named(bytes.Error(), webp);
        if (Result<> still = Still(host.TakeStill(), 1); !still) return still.Error();
        picture_.Files.push_back({WebFileKind::Webp, 1, webp, *bytes, true});
      }
    }
    for (int scale : scales) {
      if (scale == 1 && shareGif) continue;
      host.Begin(nullptr);
      if (Result<> written = Animation(host, ExportFormat::Webp, scale); !written)
        return written.Error();
      if (Result<> still = Still(host.TakeStill(), scale); !still) return still.Error();
    }
    if (request_.Stop.stop_requested())
      return Failure{"The export of " + request_.Folder + " was cancelled.", ECANCELED};

    WebExportSummary summary;
    std::stable_sort(picture_.Files.begin(), picture_.Files.end(),
                     [](const WebFile& a, const WebFile& b) {
                       return std::pair(a.Kind, a.Scale) < std::pair(b.Kind, b.Scale);
                     });
    summary.Html = WebSnippet(picture_);
    const std::string html = FileName(request_.Stem, "", 1, "html");
    if (Result<> written = ReplaceFile(files_.StagedPath(html), summary.Html, false); !written)
      return Failure{"Cannot write " + request_.Folder + "/" + html + ": " + written.Message()};
    std::vector<std::string> names{html};
    for (const WebFile& file : picture_.Files) names.push_back(file.Name);
    if (Result<> committed = files_.Commit(names); !committed) return committed.Error();
    summary.Picture = std::move(picture_);
    return summary;
  }

 private:
  // One animation file through the export, at `scale`, into the set.
  Result<> Animation(WebExportHost& host, ExportFormat format, int scale) {
    const std::string name = FileName(request_.Stem, "", scale, FormatExtension(format).data());
    ExportRequest request;
    request.OutputFileName = files_.StagedPath(name);
    request.Format = format;
    request.Optimise = true;
    request.Loop = request_.Loop;
    request.Motion = request_.Motion;
    request.Scale = scale;
    request.Workers = request_.Workers;
    request.Stop = request_.Stop;
    Result<ExportSummary> exported = AnimationExport(host, renderer_, surface_, settings_).Run(request);
    if (!exported) return Named(exported.Error(), name);
    const WebFileKind kind = format == ExportFormat::Svg    ? WebFileKind::Svg
                             : format == ExportFormat::Gif ? WebFileKind::Gif
                                                           : WebFileKind::Webp;
    picture_.Files.push_back({kind, scale, name, exported->Bytes, exported->Exact});
    return {};
  }

  // The first frame as drawn at `scale`, as a PNG file.
  Result<> Still(Raster frame, int scale) {
    const std::string name = FileName(request_.Stem, "-still", scale, "png");
    ApngEncoder encoder(frame.Width, frame.Height, {});
    if (Result<> added = encoder.AddFrame(StraightRgba(frame)); !added) return added.Error();
    Result<std::string> bytes = encoder.Finish();
    if (!bytes) return bytes.Error();
    if (Result<> written = ReplaceFile(files_.StagedPath(name), *bytes, false); !written)
      return Failure{"Cannot write " + request_.Folder + "/" + name + ": " + written.Message()};
    picture_.Files.push_back({WebFileKind::Still, scale, name, bytes->size(), true});
    return {};
  }

  // An export's failure names the file in the user's folder, not the one
  // being made beside it.
  Failure Named(Failure failure, const std::string& name) const {
    const std::string staged = files_.StagedPath(name);
    for (std::size_t at; (at = failure.Message.find(staged)) != std::string::npos;)
      failure.Message.replace(at, staged.size(), request_.Folder + "/" + name);
    return failure;
  }

  ExportHost& host_;
  FrameRenderer& renderer_;
  DrawingSurface& surface_;
  const ShapeSettings& settings_;
  const WebExportRequest& request_;
  ReplacementFileSet files_;
  WebPicture picture_;
};

}  // namespace

std::string WebAltText(const ShapeSettings& settings, const std::string& name) {
  if (settings.ShowText && settings.Text.find_first_not_of(" \t") != std::string::npos)
    return settings.Text;
  return name.empty() ? "Flinder" : name;
}

Result<WebExportSummary> RunWebExport(ExportHost& host, FrameRenderer& renderer,
                                      DrawingSurface& surface, const ShapeSettings& settings,
                                      const WebExportRequest& request) {
  // As an export's: memory or a thread that cannot be had is its failure.
  try {
    return WebExport(host, renderer, surface, settings, request).Run();
  } catch (const std::exception& e) {
    return Failure{"Cannot write " + request.Folder + ": " + e.what()};
  }
}

}  // namespace flinder
