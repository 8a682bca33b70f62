#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace flinder {

// The kinds of file a web export writes for one design.
enum class WebFileKind { Svg, Webp, Gif, Still, Html };

// One file of a web export, as written.
struct WebFile {
  WebFileKind Kind = WebFileKind::Gif;
  int Scale = 1;  // the copy's scale: 1, 2 or 3 (an SVG and the HTML are 1)
  std::string Name;  // within the export's folder, UTF-8
  std::uintmax_t Bytes = 0;
  // True when a viewer shows the frames exactly as drawn; false for a GIF
  // whose colours had to be reduced and for an SVG, which the viewer draws.
  bool Exact = true;
};

// A design's picture on a web page: its files and what the HTML says of it.
struct WebPicture {
  int Width = 0, Height = 0;  // at scale 1, in CSS pixels
  std::string Alt;            // the caption, or the design's name; UTF-8
  std::vector<WebFile> Files; // every file written but the HTML
};

// What a browser downloads to show the picture: a current one (the SVG, or
// the 1x WebP where it is served, or the GIF), an old one that knows only
// GIF, and one that asks for reduced motion (the still picture).
struct DownloadTotals {
  std::uintmax_t Modern = 0, Old = 0, ReducedMotion = 0;
};

}  // namespace flinder
