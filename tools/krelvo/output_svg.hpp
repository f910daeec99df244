// The cutting diagram: one horizontal bar per distinct pattern with its count,
// pieces to scale with their lengths and labels, trim, saw cuts and leftover
// drawn distinctly. Standalone SVG that a browser shows as it is.
#pragma once

#include <string>
#include <string_view>

#include "report.hpp"

namespace krelvo::cli {

std::string render_svg(const Report& report);

// Text for XML content and attributes; characters XML 1.0 forbids become U+FFFD.
std::string xml_text(std::string_view text);

}  // namespace krelvo::cli
