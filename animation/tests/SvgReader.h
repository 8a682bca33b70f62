#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace flinder {

// An element as our own SVG writer makes them (no comments, declarations or
// CDATA); text and attribute values as written, references not decoded.
struct XmlElement {
  std::string Name, Text;  // the character data directly inside, joined
  std::map<std::string, std::string> Attributes;
  std::vector<XmlElement> Children;

  std::string Get(const std::string& attribute) const {
    const auto found = Attributes.find(attribute);
    return found == Attributes.end() ? "" : found->second;
  }
  // This element and every one below it, in document order, of the name
  // or with the id "#name".
  std::vector<const XmlElement*> All(const std::string& name) const;
};

// None when the text is not one well-formed element.
std::optional<XmlElement> ReadXml(const std::string& text);

// The points of SVG path data, control points included, one list a subpath.
struct PathPoint {
  double X, Y;
};
std::vector<std::vector<PathPoint>> PathPoints(const std::string& data);

}  // namespace flinder
