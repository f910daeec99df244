// The printable cutting report: one self-contained HTML page (no external
// resources) laid out for A4, with the job, the summary, the numbered patterns
// with a tick box per bar for the saw, their diagrams and the offcuts to keep.
#pragma once

#include <string>
#include <string_view>

#include "report.hpp"

namespace krelvo::cli {

// `date` is shown as given: when the plan was made.
std::string render_html(const Report& report, std::string_view date);

}  // namespace krelvo::cli
