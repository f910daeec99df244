#include "profile_parser.hpp"

#include <string>
#include <unordered_set>

#include "name_fold.hpp"

namespace automation::profile {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineBreaks = "\r\n";
constexpr std::string_view kDefaultLineBreak = "\r\n";

ProfileLine classify(std::string_view text, std::string_view line_break) {
  ProfileLine line;
  line.text = text;
  line.line_break = line_break;
  const std::string_view body = trim_blanks(text);
  if (body.empty()) return line;
  if (body.front() == ';') {
    line.kind = LineKind::kComment;
    return line;
  }
  // The name runs to the last ']', so a name holding ']' reads back as written.
  if (body.front() == '[') {
    if (const auto close = body.rfind(']'); close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.name = trim_blanks(body.substr(1, close - 1));
      return line;
    }
  }
  const auto equals = body.find('=');
  if (equals == std::string_view::npos) return line;
  const std::string_view key = trim_blanks(body.substr(0, equals));
  if (key.empty()) return line;
  line.kind = LineKind::kEntry;
  line.name = key;
  line.value = value_as_read(body.substr(equals + 1));
  return line;
}

std::vector<std::string_view> distinct_names(const std::vector<std::string_view>& names) {
  const FoldTable& table = fold_table();
  std::unordered_set<std::string> seen;
  std::vector<std::string_view> distinct;
  for (const std::string_view name : names)
    if (!name.empty() && seen.insert(folded_name(table, name)).second) distinct.push_back(name);
  return distinct;
}

}  // namespace

std::string_view value_as_read(std::string_view stored) {
  const std::string_view value = trim_blanks(stored);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::string_view trim_blanks(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

ProfileDocument::ProfileDocument(std::string_view content) : content_(content) {
  std::size_t start = 0;
  while (start < content.size()) {
    const auto text_end = std::min(content.find_first_of(kLineBreaks, start), content.size());
    std::size_t break_end = text_end;
    if (break_end < content.size()) {
      const bool crlf = content[break_end] == '\r' && break_end + 1 < content.size() && content[break_end + 1] == '\n';
      break_end += crlf ? 2 : 1;
    }
    lines_.push_back(classify(content.substr(start, text_end - start), content.substr(text_end, break_end - text_end)));
    start = break_end;
  }
  for (std::size_t index = 0; index < lines_.size(); ++index) {
    const ProfileLine& line = lines_[index];
    if (line.kind == LineKind::kSection) {
      if (!sections_.empty()) sections_.back().end = index;
      sections_.push_back({.name = line.name, .header = index, .end = lines_.size(), .last_entry = index});
    } else if (line.kind == LineKind::kEntry && !sections_.empty()) {
      sections_.back().last_entry = index;
    }
  }
}

const ProfileSection* ProfileDocument::find_section(std::string_view name) const {
  const NameMatcher matcher(name);
  for (const ProfileSection& section : sections_)
    if (matcher.matches(section.name)) return &section;
  return nullptr;
}

const ProfileLine* ProfileDocument::find_entry(const ProfileSection& section, std::string_view key) const {
  const NameMatcher matcher(key);
  for (std::size_t index = section.header + 1; index < section.end; ++index)
    if (lines_[index].kind == LineKind::kEntry && matcher.matches(lines_[index].name)) return &lines_[index];
  return nullptr;
}

std::vector<std::string_view> ProfileDocument::section_names() const {
  std::vector<std::string_view> names;
  names.reserve(sections_.size());
  for (const ProfileSection& section : sections_) names.push_back(section.name);
  return distinct_names(names);
}

std::vector<std::string_view> ProfileDocument::key_names(const ProfileSection& section) const {
  std::vector<std::string_view> names;
  for (std::size_t index = section.header + 1; index < section.end; ++index)
    if (lines_[index].kind == LineKind::kEntry) names.push_back(lines_[index].name);
  return distinct_names(names);
}

std::string_view ProfileDocument::line_break() const {
  for (const ProfileLine& line : lines_)
    if (!line.line_break.empty()) return line.line_break;
  return kDefaultLineBreak;
}

}  // namespace automation::profile
