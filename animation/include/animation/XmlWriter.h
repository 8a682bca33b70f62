#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace flinder {

// Writes one XML document as it goes, without whitespace of its own: an
// element's attributes follow its Start, then its content, then End, which
// closes an element without content as "<name .../>". Text and attribute
// values are UTF-8; what XML cannot hold (control characters, malformed
// sequences) becomes U+FFFD, and & < > " are escaped.
class XmlWriter {
 public:
  XmlWriter& Start(std::string_view name);
  XmlWriter& Attribute(std::string_view name, std::string_view value);
  XmlWriter& Text(std::string_view text);
  XmlWriter& End();

  // The document so far, every element closed.
  std::string Finish();

 private:
  void CloseStartTag();

  std::string out_;
  std::vector<std::string> open_;
  bool inStartTag_ = false;
};

}  // namespace flinder
