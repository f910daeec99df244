// The directory search by path pattern.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/runtime_api.hpp"

namespace automation {

// The path of the first ordinary file that `pattern` (a UTF-8 path) names.
// Only the last part of the path may hold wildcards: '*' stands for any run
// of characters, '?' for any one; every other character, '[' and '\'
// included, stands for itself, and names match with the file system's case.
// Ordinary means a regular file or a link to one: not a folder, device, pipe
// or socket, and not hidden. Linux marks a file hidden by a leading dot, and
// keeps settings files that way, so wildcards do not match a leading dot (as
// in the shell) but a dot-file named exactly is found. A relative pattern
// starts at the current directory; an empty one, or one ending in '/', names
// no file. With several matches, which one comes first is the folder's order.
AUTOMATION_RUNTIME_API std::optional<std::string> find_first_ordinary_file(std::string_view pattern);

}  // namespace automation
