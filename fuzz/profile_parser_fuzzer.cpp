// libFuzzer target for the profile parser and writer: any bytes must parse
// without a crash or hang, the lines must cover the input exactly, and a
// write must read back while every other line stays as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "profile_parser.hpp"
#include "profile_writer.hpp"

namespace {

using automation::profile::ProfileDocument;
using automation::profile::ProfileLine;

constexpr std::string_view kKey = "fuzzkey";
constexpr std::string_view kValue = "fuzz value";

void require(bool condition) {
  if (!condition) std::abort();
}

bool same_line(const ProfileLine& before, const ProfileLine& after, bool last) {
  return before.text == after.text && (before.line_break == after.line_break || (last && before.line_break.empty()));
}

void check_lines_cover_the_input(const ProfileDocument& document) {
  std::string rebuilt;
  for (const ProfileLine& line : document.lines()) rebuilt.append(line.text).append(line.line_break);
  require(rebuilt == document.content());
}

void check_listed_names_are_found(const ProfileDocument& document) {
  for (const std::string_view name : document.section_names()) {
    const auto* section = document.find_section(name);
    require(section != nullptr);
    for (const std::string_view key : document.key_names(*section))
      require(document.find_entry(*section, key) != nullptr);
  }
}

// Old lines in order in the new document; only the changed entry, the new
// entry and a new section header may stand between them.
void check_other_lines_kept(const ProfileDocument& before, const ProfileDocument& after, const ProfileLine* replaced) {
  const auto& old_lines = before.lines();
  const auto& new_lines = after.lines();
  std::size_t next = 0;
  bool inserted = false;
  for (std::size_t index = 0; index < old_lines.size(); ++index) {
    require(next < new_lines.size());
    if (&old_lines[index] == replaced) {
      require(new_lines[next].value == kValue);
      ++next;
      continue;
    }
    const bool last = index + 1 == old_lines.size();
    if (!same_line(old_lines[index], new_lines[next], last)) {
      require(!inserted && new_lines[next].text.ends_with(std::string(kKey) + "=" + std::string(kValue)));
      inserted = true;
      ++next;
      require(next < new_lines.size() && same_line(old_lines[index], new_lines[next], last));
    }
    ++next;
  }
  require(new_lines.size() - next <= 2);
}

void check_write_reads_back(const ProfileDocument& document, std::string_view section) {
  const auto* found = document.find_section(section);
  const ProfileLine* replaced = found != nullptr ? document.find_entry(*found, kKey) : nullptr;
  const auto written = automation::profile::with_value(document, section, kKey, kValue);
  if (!written) {
    require(replaced != nullptr && replaced->value == kValue);
    return;
  }
  const ProfileDocument after(*written);
  const auto* section_after = after.find_section(section);
  require(section_after != nullptr);
  const ProfileLine* entry = after.find_entry(*section_after, kKey);
  require(entry != nullptr && entry->value == kValue);
  check_other_lines_kept(document, after, replaced);

  const auto without_key = automation::profile::without_key(after, section, kKey);
  require(without_key.has_value());
  const ProfileDocument key_removed(*without_key);
  const auto* section_left = key_removed.find_section(section);
  require(section_left == nullptr || key_removed.find_entry(*section_left, kKey) == nullptr);

  const auto without_section = automation::profile::without_section(after, section);
  require(without_section.has_value());
  require(ProfileDocument(*without_section).find_section(section) == nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const ProfileDocument document(content);
  check_lines_cover_the_input(document);
  check_listed_names_are_found(document);
  // Both paths of a write: into a section of the input, and a new section.
  const auto& sections = document.sections();
  if (!sections.empty()) check_write_reads_back(document, sections[size % sections.size()].name);
  check_write_reads_back(document, "fuzz section");
  return 0;
}
