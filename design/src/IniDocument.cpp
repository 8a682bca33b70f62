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

// Section and key names match in the code page's letter case.
unsigned char Fold(char byte) {
  return LowerCp1252(static_cast<unsigned char>(byte));
}

bool SameFolded(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Fold(x) == Fold(y); });
}

std::uint32_t FoldedHash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (char c : name) hash = (hash ^ Fold(c)) * 16777619u;
  return hash;
}

// One line of a text: its content runs from `begin` to `end`, without the
// line ending, and the next line starts at `next`.
struct Line {
  std::size_t begin, end, next;
};

Line LineAt(std::string_view text, std::size_t at) {
  auto newline = text.find('\n', at);
  if (newline == std::string_view::npos) return {at, text.size(), text.size()};
  bool crlf = newline > at && text[newline - 1] == '\r';
  return {at, crlf ? newline - 1 : newline, newline + 1};
}

std::string_view Content(std::string_view text, const Line& line) {
  return text.substr(line.begin, line.end - line.begin);
}

// The name of a section header "[name]" (blanks allowed before the bracket
// and around the name; the last "]" closes it), or nothing for any other line.
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

// The first entry line of a section's text with this key; the header line
// is skipped.
std::optional<Line> FindKey(std::string_view section, std::string_view key) {
  for (std::size_t at = LineAt(section, 0).next; at < section.size();) {
    Line line = LineAt(section, at);
    auto name = KeyName(Content(section, line));
    if (name && SameFolded(*name, key)) return line;
    at = line.next;
  }
  return std::nullopt;
}

// Where a new entry goes: after the section's last entry, so that comments
// and blank lines leading into the next section stay with it, or right
// after the header.
std::size_t InsertionPoint(std::string_view section) {
  std::size_t after = LineAt(section, 0).next;
  for (std::size_t at = after; at < section.size();) {
    Line line = LineAt(section, at);
    if (KeyName(Content(section, line))) after = line.next;
    at = line.next;
  }
  return after;
}

// The last line of a non-empty text, whose ending is not a line of its own.
std::string_view LastLine(std::string_view text) {
  if (text.ends_with('\n')) text.remove_suffix(text.ends_with("\r\n") ? 2 : 1);
  auto newline = text.rfind('\n');
  return newline == std::string_view::npos ? text : text.substr(newline + 1);
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
  return !name.empty() && !HasControl(name) && !HasBlankEnds(name);
}

bool CanHoldKey(std::string_view name) {
  return !name.empty() && !HasControl(name) && !HasBlankEnds(name) && name.front() != '[' &&
         name.front() != ';' && name.find('=') == std::string_view::npos;
}

}  // namespace

std::size_t TextStart(std::string_view bytes) {
  return bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

IniDocument::IniDocument(std::string bytes) : source_(std::move(bytes)) {
  const std::string_view text = source_;
  bool styleKnown = false;
  for (std::size_t at = TextStart(text); at < text.size();) {
    Line line = LineAt(text, at);
    if (!styleKnown && line.next > line.end) {
      lineEnd_ = text.substr(line.end, line.next - line.end);
      styleKnown = true;
    }
    if (auto name = HeaderName(Content(text, line))) {
      sections_.back().end = line.begin;
      sections_.push_back({line.begin, 0});
      index_.push_back({FoldedHash(*name), static_cast<std::uint32_t>(sections_.size() - 1)});
    }
    at = line.next;
  }
  sections_.back().end = text.size();
  // Sections of one hash stay in file order, so the first match comes first.
  std::sort(index_.begin(), index_.end(), [](const IndexEntry& a, const IndexEntry& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.section < b.section;
  });
}

std::string_view IniDocument::Text(const Section& section) const {
  if (section.edited >= 0) return edited_[static_cast<std::size_t>(section.edited)];
  return std::string_view(source_).substr(section.begin, section.end - section.begin);
}

std::string& IniDocument::EditableText(std::size_t section) {
  Section& changed = sections_[section];
  if (changed.edited < 0) {
    edited_.emplace_back(Text(changed));
    changed.edited = static_cast<int>(edited_.size() - 1);
  }
  return edited_[static_cast<std::size_t>(changed.edited)];
}

std::string IniDocument::Bytes() const {
  std::size_t size = 0;
  for (const Section& section : sections_) size += Text(section).size();
  std::string bytes;
  bytes.reserve(size);
  for (const Section& section : sections_) bytes += Text(section);
  return bytes;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view name) const {
  const std::uint32_t hash = FoldedHash(name);
  auto first = std::lower_bound(index_.begin(), index_.end(), hash,
                                [](const IndexEntry& e, std::uint32_t h) { return e.hash < h; });
  for (auto it = first; it != index_.end() && it->hash == hash; ++it) {
    std::string_view text = Text(sections_[it->section]);
    if (SameFolded(*HeaderName(Content(text, LineAt(text, 0))), name)) return it->section;
  }
  return std::nullopt;
}

std::string IniDocument::Read(std::string_view section, std::string_view key) const {
  auto found = FindSection(ToCp1252(section));
  if (!found) return "";
  std::string_view text = Text(sections_[*found]);
  auto entry = FindKey(text, ToCp1252(key));
  if (!entry) return "";
  std::string_view value = Trim(ValueOf(Content(text, *entry)));
  if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
  return FromCp1252(value.substr(0, MaxValueLength));
}

void IniDocument::AddSection(const std::string& name, const std::string& entry) {
  std::string& last = EditableText(sections_.size() - 1);
  if (!last.empty()) {
    const bool blankBefore = Trim(LastLine(last)).empty();
    if (!last.ends_with('\n')) last += lineEnd_;
    if (!blankBefore) last += lineEnd_;
  }
  edited_.push_back("[" + name + "]" + lineEnd_ + entry + lineEnd_);
  sections_.push_back({0, 0, static_cast<int>(edited_.size() - 1)});
  // After every section with the same hash, which all come before it.
  const IndexEntry added{FoldedHash(name), static_cast<std::uint32_t>(sections_.size() - 1)};
  index_.insert(
      std::upper_bound(index_.begin(), index_.end(), added,
                       [](const IndexEntry& a, const IndexEntry& b) { return a.hash < b.hash; }),
      added);
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

  auto found = FindSection(sectionName);
  if (!found) {
    AddSection(sectionName, keyName + "=" + text);
    return true;
  }
  std::string& body = EditableText(*found);
  if (auto entry = FindKey(body, keyName)) {
    // The key keeps the spelling it has in the file.
    std::string line = std::string(*KeyName(Content(body, *entry))) + "=" + text;
    body.replace(entry->begin, entry->end - entry->begin, line);
    return true;
  }
  std::size_t at = InsertionPoint(body);
  // The line before an added one needs an ending even if it was the last.
  if (at == body.size() && !body.ends_with('\n')) {
    body += lineEnd_;
    at = body.size();
  }
  body.insert(at, keyName + "=" + text + lineEnd_);
  return true;
}

}  // namespace flinder
