#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flinder {

// The longest value a profile read gives back, in characters.
constexpr std::size_t MaxValueLength = 249;

// Where a profile's text starts: after the UTF-8 byte-order mark that some
// editors put first, which is kept as it is but is no part of the first line.
std::size_t TextStart(std::string_view bytes);

// A profile (INI) file held in memory so that many entries can be read or
// changed with one read and one write of the file. Section and key names
// match without regard to case, and the first matching section and key win.
// Every line, also one it does not understand, keeps its bytes and its line
// ending; added lines take the file's style (LF for a new file). The bytes
// are Windows-1252; names and values cross the interface as UTF-8.
//
// The file is indexed by section in one pass and kept as it came; a section
// is copied only when it changes. A read or a write costs the size of its
// section, whatever the size of the file.
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string bytes);

  std::string Bytes() const;

  // The value with the blanks around it and one pair of enclosing quotes
  // dropped, cut to MaxValueLength characters; "" when the section or key is
  // missing.
  std::string Read(std::string_view section, std::string_view key) const;

  // Replaces the value in place, or adds the key after the last entry of its
  // section, or adds the section after one empty line at the end. Line
  // breaks in the value become blanks so the entry stays one line, and a
  // value with blanks at its ends or in quotes is put in quotes so that it
  // reads back as it was; an empty value keeps the key. A section or key
  // name the file cannot hold changes nothing and gives false.
  bool Write(std::string_view section, std::string_view key, std::string_view value);

 private:
  // The lines from one section header (or the start of the file) up to the
  // next header.
  struct Section {
    std::size_t begin = 0, end = 0;  // its bytes in source_ while unchanged
    int edited = -1;                 // its text in edited_ once changed
  };
  struct IndexEntry {
    std::uint32_t hash;
    std::uint32_t section;
  };

  std::string_view Text(const Section& section) const;
  std::string& EditableText(std::size_t section);
  std::optional<std::size_t> FindSection(std::string_view name) const;
  void AddSection(const std::string& name, const std::string& entry);

  std::string source_;
  std::vector<Section> sections_{Section{}};  // [0]: the lines before the first header
  std::vector<IndexEntry> index_;             // ordered by hash, then by section
  std::deque<std::string> edited_;
  std::string lineEnd_ = "\n";
};

}  // namespace flinder
