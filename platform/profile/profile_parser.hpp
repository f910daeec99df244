// Reads the lines of a profile (INI) file. Any bytes are accepted: every line
// is classified and none is refused, in one pass without backtracking. The
// document keeps views into the content it was built from, which must outlive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace automation::profile {

enum class LineKind : uint8_t {
  kOther,    // blank, or text without '=' (not a key)
  kComment,  // first non-blank character ';'
  kSection,  // "[name]"
  kEntry,    // "key=value"
};

struct ProfileLine {
  LineKind kind = LineKind::kOther;
  std::string_view text;        // without its line break
  std::string_view line_break;  // "\r\n", "\n", "\r", or empty on a last line without one
  std::string_view name;        // section or key name, blanks around it removed
  std::string_view value;       // an entry's value, blanks and one pair of matching quotes removed
};

struct ProfileSection {
  std::string_view name;
  std::size_t header = 0;      // line index of the "[name]" line
  std::size_t end = 0;         // one past its last line: the next header or the end of the file
  std::size_t last_entry = 0;  // its last entry line, or the header when it has none
};

// Space and tab, the blanks around names and values.
std::string_view trim_blanks(std::string_view text);
// A value as a reader gets it: blanks around it and one pair of matching
// single or double quotes around that go.
std::string_view value_as_read(std::string_view stored);

class ProfileDocument {
 public:
  explicit ProfileDocument(std::string_view content);

  std::string_view content() const { return content_; }
  const std::vector<ProfileLine>& lines() const { return lines_; }
  const std::vector<ProfileSection>& sections() const { return sections_; }

  // For duplicates the first one wins: later sections or entries of the same
  // name are never read.
  const ProfileSection* find_section(std::string_view name) const;
  const ProfileLine* find_entry(const ProfileSection& section, std::string_view key) const;

  // Names as first spelled, each once, empty names left out (an empty name
  // would end the NUL-separated list early).
  std::vector<std::string_view> section_names() const;
  std::vector<std::string_view> key_names(const ProfileSection& section) const;

  // The line break new lines get: the file's first one, CR LF when it has none.
  std::string_view line_break() const;

 private:
  std::string_view content_;
  std::vector<ProfileLine> lines_;
  std::vector<ProfileSection> sections_;
};

}  // namespace automation::profile
