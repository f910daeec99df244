#include "profile_writer.hpp"

#include <vector>

#include "name_fold.hpp"

namespace automation::profile {
namespace {

std::string entry_text(std::string_view key, std::string_view value) {
  std::string text;
  text.reserve(key.size() + 1 + value.size());
  text.append(key).append("=").append(value);
  return text;
}

// The content without the marked lines.
std::string without_lines(const ProfileDocument& document, const std::vector<bool>& dropped) {
  std::string content;
  content.reserve(document.content().size());
  const auto& lines = document.lines();
  for (std::size_t index = 0; index < lines.size(); ++index)
    if (!dropped[index]) content.append(lines[index].text).append(lines[index].line_break);
  return content;
}

}  // namespace

std::optional<std::string> with_value(const ProfileDocument& document, std::string_view section, std::string_view key,
                                      std::string_view value) {
  const std::string_view line_break = document.line_break();
  const std::string new_entry = entry_text(key, value);
  const auto& lines = document.lines();
  const ProfileSection* found = document.find_section(section);
  if (found == nullptr) {
    std::string content(document.content());
    if (!lines.empty() && lines.back().line_break.empty()) content.append(line_break);
    content.append("[").append(section).append("]").append(line_break);
    content.append(new_entry).append(line_break);
    return content;
  }

  const ProfileLine* entry = document.find_entry(*found, key);
  const std::string replacement = entry != nullptr ? entry_text(entry->name, value) : std::string();
  if (entry != nullptr && replacement == entry->text) return std::nullopt;

  std::string content;
  content.reserve(document.content().size() + new_entry.size() + 2 * line_break.size());
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const ProfileLine& line = lines[index];
    if (&line == entry) {
      content.append(replacement).append(line.line_break);
      continue;
    }
    content.append(line.text);
    if (entry == nullptr && index == found->last_entry) {
      // The new line ends like the one it follows: a lone CR before a line
      // that starts with LF would otherwise merge with it into one CR LF.
      const std::string_view own_break = line.line_break.empty() ? line_break : line.line_break;
      content.append(own_break).append(new_entry).append(own_break);
      continue;
    }
    content.append(line.line_break);
  }
  return content;
}

std::optional<std::string> without_key(const ProfileDocument& document, std::string_view section,
                                       std::string_view key) {
  const NameMatcher section_matcher(section);
  const NameMatcher key_matcher(key);
  const auto& lines = document.lines();
  std::vector<bool> dropped(lines.size(), false);
  bool any = false;
  for (const ProfileSection& candidate : document.sections()) {
    if (!section_matcher.matches(candidate.name)) continue;
    for (std::size_t index = candidate.header + 1; index < candidate.end; ++index) {
      if (lines[index].kind == LineKind::kEntry && key_matcher.matches(lines[index].name)) {
        dropped[index] = true;
        any = true;
      }
    }
  }
  if (!any) return std::nullopt;
  return without_lines(document, dropped);
}

std::optional<std::string> without_section(const ProfileDocument& document, std::string_view section) {
  const NameMatcher matcher(section);
  std::vector<bool> dropped(document.lines().size(), false);
  bool any = false;
  for (const ProfileSection& candidate : document.sections()) {
    if (!matcher.matches(candidate.name)) continue;
    for (std::size_t index = candidate.header; index < candidate.end; ++index) dropped[index] = true;
    any = true;
  }
  if (!any) return std::nullopt;
  return without_lines(document, dropped);
}

}  // namespace automation::profile
