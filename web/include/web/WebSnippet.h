#pragma once

#include <string>

#include "web/WebPicture.h"

namespace flinder {

// The <picture> element that serves `picture` (one line per element, ending
// in a newline): the still for reduced motion first, then the animations a
// browser may choose, smallest first, the SVG always and each WebP copy only
// where the 1x WebP is smaller than the GIF, and the GIF as the <img> every
// browser shows, with the picture's size and alt text. File names are URL
// paths (percent-encoded where a browser would misread them) and every
// attribute is escaped, so any name and caption gives valid HTML.
std::string WebSnippet(const WebPicture& picture);

// What a browser downloads of the snippet's files, by the rule of WebSnippet.
DownloadTotals Downloads(const WebPicture& picture);

// The size table: one row per file (format, bytes, ratio to the GIF, exact
// or not), then the three download totals against the GIF.
std::string SizeTable(const WebPicture& picture);

}  // namespace flinder
