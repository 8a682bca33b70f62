#pragma once

#include <string>

#include "web/WebPicture.h"

namespace flinder {

// The <picture> element that serves `picture`, one line per element, each
// ending in a newline:
//  - the stills, for browsers asked for reduced motion;
//  - the animations a current browser may choose: the SVG and the WebP
//    copies, each where it (for WebP the copy of the smallest scale, what a
//    1x screen downloads) has fewer bytes than the GIF; of the two, the one
//    with fewer bytes first, as a browser takes the first type it knows;
//  - the GIF as the <img> every browser shows, with the picture's size,
//    alt text and decoding="async".
// A srcset lists the copies by scale with "Nx" descriptors, or a lone 1x
// copy by its name alone. File names become URL paths relative to the page:
// every byte but letters, digits and -._~@!$'()*+;=: is percent-encoded
// ("/" too: a name is one file's name), and a name with a ":" gets "./" in
// front so that no browser reads a scheme into it. The alt text is written
// in ASCII (other characters as references, control characters as spaces,
// broken UTF-8 and noncharacters as U+FFFD) and every attribute escapes
// & < > ", so any name and caption gives valid HTML in a page of any
// encoding.
std::string WebSnippet(const WebPicture& picture);

// What a browser downloads of the snippet's files: a current one the first
// animation (or the GIF where none is served), an old one the GIF, one
// asked for reduced motion the still of the smallest scale (or, without a
// still, what a current one does).
DownloadTotals Downloads(const WebPicture& picture);

// The size table, plain text in aligned columns: a row per file (name with
// control characters as \xNN, format and scale, bytes, ratio to the GIF's
// bytes as "0.03x", exact or not), then what a current browser, an old one
// and one asked for reduced motion download, against the GIF.
std::string SizeTable(const WebPicture& picture);

}  // namespace flinder
