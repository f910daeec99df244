// The cutting diagram as a standalone SVG that a browser shows as it is: the
// legend, then one numbered bar per distinct pattern (diagram.hpp).
#pragma once

#include <string>
#include <string_view>

#include "report.hpp"

namespace krelvo::cli {

std::string render_svg(const Report& report);

// Text for XML content and attributes; characters XML 1.0 forbids become U+FFFD.
std::string xml_text(std::string_view text);

}  // namespace krelvo::cli
