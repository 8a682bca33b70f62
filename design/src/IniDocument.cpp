#include "design/IniDocument.h"

#include <algorithm>

#include "design/Cp1252.h"

namespace flinder {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Windows-1252 letters in lower case: ASCII, Latin-1 and the five pairs
// among 0x8A to 0x9F.
unsigned char Fold(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
  return folded;
}

// The name of a section header "[name]" (blanks allowed before the bracket
// and around the name), or nothing for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  auto close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// The key of an entry line "key=value", or nothing for a header, a comment
// or a line without "=".
std::optional<std::string_view> KeyName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == '[' || line.front() == ';') return std::nullopt;
  auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

std::string_view ValueOf(std::string_view line) {
  return line.substr(line.find('=') + 1);
}

bool HasControl(std::string_view name) {
  return std::any_of(name.begin(), name.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool HasBlankEnds(std::string_view name) {
  return IsBlank(name.front()) || IsBlank(name.back());
}

bool CanHoldSection(std::string_view name) {
  return !name.empty() && !HasControl(name) && !HasBlankEnds(name) &&
         name.find(']') == std::string_view::npos;
}

bool CanHoldKey(std::string_view name) {
  return !name.empty() && !HasControl(name) && !HasBlankEnds(name) && name.front() != '[' &&
         name.front() != ';' && name.find('=') == std::string_view::npos;
}

}  // namespace

IniDocument::Line::Line(std::string lineText, std::string lineEnd)
    : text(std::move(lineText)), end(std::move(lineEnd)), kind(Kind::Other) {
  if (auto header = HeaderName(text)) {
    kind = Kind::Header;
    name = Folded(*header);
  } else if (auto key = KeyName(text)) {
    kind = Kind::Entry;
    name = Folded(*key);
  }
}

IniDocument::IniDocument(std::string_view bytes) {
  bool styleKnown = false;
  while (!bytes.empty()) {
    auto newline = bytes.find('\n');
    if (newline == std::string_view::npos) {
      lines_.emplace_back(std::string(bytes), "");
      break;
    }
    bool crlf = newline > 0 && bytes[newline - 1] == '\r';
    std::string end = crlf ? "\r\n" : "\n";
    if (!styleKnown) lineEnd_ = end;
    styleKnown = true;
    lines_.emplace_back(std::string(bytes.substr(0, crlf ? newline - 1 : newline)), end);
    bytes.remove_prefix(newline + 1);
  }
}

std::string IniDocument::Bytes() const {
  std::string bytes;
  for (const Line& line : lines_) bytes += line.text + line.end;
  return bytes;
}

std::optional<std::size_t> IniDocument::FindSection(const std::string& folded) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Header && lines_[i].name == folded) return i;
  return std::nullopt;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Header) ++i;
  return i;
}

std::optional<std::size_t> IniDocument::FindKey(std::size_t header,
                                                const std::string& folded) const {
  for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
    if (lines_[i].kind == Kind::Entry && lines_[i].name == folded) return i;
  return std::nullopt;
}

std::string IniDocument::Read(std::string_view section, std::string_view key) const {
  auto header = FindSection(Folded(ToCp1252(section)));
  if (!header) return "";
  auto entry = FindKey(*header, Folded(ToCp1252(key)));
  if (!entry) return "";
  std::string_view value = Trim(ValueOf(lines_[*entry].text));
  if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
  return FromCp1252(value.substr(0, MaxValueLength));
}

void IniDocument::Insert(std::size_t at, std::string text) {
  // The line before an added one needs an ending even if it was the last.
  if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = lineEnd_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line(std::move(text), lineEnd_));
}

bool IniDocument::Write(std::string_view section, std::string_view key, std::string_view value) {
  std::string sectionName = ToCp1252(section), keyName = ToCp1252(key);
  if (!CanHoldSection(sectionName) || !CanHoldKey(keyName)) return false;
  std::string text = ToCp1252(value);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  // A value that reading would change (blanks at its ends, or enclosing
  // quotes) goes in quotes, which reading takes off again.
  if (!text.empty() && (Trim(text).size() != text.size() || IsQuoted(text)))
    text = '"' + text + '"';

  auto header = FindSection(Folded(sectionName));
  if (!header) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) Insert(lines_.size(), "");
    Insert(lines_.size(), "[" + sectionName + "]");
    Insert(lines_.size(), keyName + "=" + text);
    return true;
  }
  if (auto entry = FindKey(*header, Folded(keyName))) {
    // The key keeps the spelling it has in the file.
    Line& line = lines_[*entry];
    line = Line(std::string(*KeyName(line.text)) + "=" + text, line.end);
    return true;
  }
  // After the section's last entry, so comments and blank lines that lead
  // into the next section stay with it.
  std::size_t after = *header;
  for (std::size_t i = *header + 1, end = SectionEnd(*header); i < end; ++i)
    if (lines_[i].kind == Kind::Entry) after = i;
  Insert(after + 1, keyName + "=" + text);
  return true;
}

}  // namespace flinder
