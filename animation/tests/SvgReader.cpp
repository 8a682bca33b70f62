#include "SvgReader.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace flinder {
namespace {

bool Read(const std::string& text, std::size_t& at, XmlElement& e) {
  const std::size_t nameEnd = text.find_first_of(" />", ++at);
  if (nameEnd == std::string::npos) return false;
  e.Name = text.substr(at, nameEnd - at);
  for (at = nameEnd; at < text.size() && text[at] == ' ';) {
    const std::size_t equals = text.find("=\"", ++at), close = text.find('"', equals + 2);
    if (close == std::string::npos ||
        !e.Attributes
             .emplace(text.substr(at, equals - at), text.substr(equals + 2, close - equals - 2))
             .second)
      return false;
    at = close + 1;
  }
  if (text.compare(at, 2, "/>") == 0) return at += 2, true;
  if (text.compare(at++, 1, ">") != 0) return false;
  const std::string close = "</" + e.Name + ">";
  while (at < text.size() && text.compare(at, close.size(), close) != 0) {
    const std::size_t next = text.find('<', at);
    if (next != at)
      e.Text += text.substr(at, next - at), at = next;
    else if (!Read(text, at, e.Children.emplace_back()))
      return false;
  }
  return at < text.size() ? (at += close.size(), true) : false;
}

}  // namespace

std::vector<const XmlElement*> XmlElement::All(const std::string& name) const {
  std::vector<const XmlElement*> found;
  if (Name == name || (name.starts_with("#") && Get("id") == name.substr(1))) found.push_back(this);
  for (const XmlElement& child : Children)
    for (const XmlElement* e : child.All(name)) found.push_back(e);
  return found;
}

std::optional<XmlElement> ReadXml(const std::string& text) {
  XmlElement root;
  std::size_t at = 0;
  if (!text.starts_with("<") || !Read(text, at, root) || at != text.size()) return std::nullopt;
  return root;
}

std::vector<std::vector<PathPoint>> PathPoints(const std::string& data) {
  std::vector<std::vector<PathPoint>> paths;
  PathPoint current{0, 0}, start{0, 0};
  char command = 0;
  const char* p = data.c_str();
  auto skip = [&] { p += std::strspn(p, " ,"); };
  for (skip(); *p; skip()) {
    if (std::isalpha(static_cast<unsigned char>(*p))) command = *p++;
    const bool relative = std::islower(static_cast<unsigned char>(command));
    const char kind = static_cast<char>(std::tolower(static_cast<unsigned char>(command)));
    if (kind == 'z') {
      current = start;
      continue;
    }
    const std::size_t count = std::strchr("hv", kind) ? 1 : kind == 'q' ? 4 : kind == 'c' ? 6 : 2;
    double v[6];
    for (std::size_t i = 0; i < count; ++i, skip()) {
      char* end = nullptr;
      v[i] = std::strtod(p, &end);
      if (end == p || (kind != 'm' && paths.empty())) return {};
      p = end;
    }
    const PathPoint base = relative ? current : PathPoint{0, 0};
    if (kind == 'm') paths.emplace_back();
    if (kind == 'h') current.X = base.X + v[0];
    if (kind == 'v') current.Y = base.Y + v[0];
    for (std::size_t i = 0; i + 1 < count; i += 2)
      paths.back().push_back(current = {base.X + v[i], base.Y + v[i + 1]});
    if (count == 1) paths.back().push_back(current);
    if (kind == 'm') start = current, command = relative ? 'l' : 'L';
  }
  return paths;
}

}  // namespace flinder
