// The new content of a profile file after one change. Lines the change does
// not touch are copied byte for byte: comments, blank lines, odd blanks and
// each line's own line break stay. nullopt: the content stays as it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "profile_parser.hpp"

namespace automation::profile {

// An existing key keeps its place and spelling and gets `value` exactly as
// given; a new key follows the section's last key; a new section goes to the end.
std::optional<std::string> with_value(const ProfileDocument& document, std::string_view section, std::string_view key,
                                      std::string_view value);

// Every entry of `key` in every section of that name: a removed key must not
// be replaced by a duplicate that was hidden behind it.
std::optional<std::string> without_key(const ProfileDocument& document, std::string_view section, std::string_view key);

// Every section of that name, from its header to the next one.
std::optional<std::string> without_section(const ProfileDocument& document, std::string_view section);

}  // namespace automation::profile
