// Section and key names match without regard to case, letter by letter in the
// ANSI code page: in Windows-1250 "Č" matches "č", not only A-Z matching a-z.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace automation::profile {

using FoldTable = std::array<uint8_t, 256>;

// The table of the current code page, built once per code page.
const FoldTable& fold_table();

class NameMatcher {
 public:
  explicit NameMatcher(std::string_view name);
  bool matches(std::string_view candidate) const;

 private:
  const FoldTable& table_;
  std::string folded_;
};

// The name with every letter in one case, to key sets of names.
std::string folded_name(const FoldTable& table, std::string_view name);

}  // namespace automation::profile
