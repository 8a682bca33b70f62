#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flinder {

// The longest value a profile read gives back, in characters.
constexpr std::size_t MaxValueLength = 249;

// A profile (INI) file held in memory so that many entries can be read or
// changed with one read and one write of the file. Section and key names
// match without regard to case, and the first matching section and key win.
// Every line, also one it does not understand, keeps its bytes and its line
// ending; added lines take the file's style (LF for a new file). The bytes
// are Windows-1252; names and values cross the interface as UTF-8.
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string_view bytes);

  std::string Bytes() const;

  // The value with the blanks around it and one pair of enclosing quotes
  // dropped, cut to MaxValueLength characters; "" when the section or key is
  // missing.
  std::string Read(std::string_view section, std::string_view key) const;

  // Replaces the value in place, or adds the key at the end of its section,
  // or adds the section after one empty line at the end. Line breaks in the
  // value become blanks so the entry stays one line, and a value with blanks
  // at its ends or in quotes is put in quotes so that it reads back as it
  // was; an empty value keeps the key. A section or key name the file
  // cannot hold changes nothing and gives false.
  bool Write(std::string_view section, std::string_view key, std::string_view value);

 private:
  enum class Kind { Other, Header, Entry };
  struct Line {
    explicit Line(std::string text, std::string end);
    std::string text;
    std::string end;  // "\r\n", "\n", or "" for a last line without one
    Kind kind;
    std::string name;  // a header's or entry's name, folded to lower case
  };

  std::optional<std::size_t> FindSection(const std::string& folded) const;
  std::optional<std::size_t> FindKey(std::size_t header, const std::string& folded) const;
  std::size_t SectionEnd(std::size_t header) const;
  void Insert(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string lineEnd_ = "\n";
};

}  // namespace flinder
