// The plan as a text table for people: one row per distinct cutting pattern.
#pragma once

#include <cstddef>
#include <string>

#include "report.hpp"

namespace krelvo::cli {

std::string render_table(const Report& report);

// "2150 (door frame) ×2, 1200 ×1": a bar's pieces, identical ones counted.
std::string describe_pieces(const Report& report, const CutBar& bar);

// "1 bar", "3 bars".
std::string bars_text(std::size_t count);

// "87.5 %" for 0.875.
std::string percent(double fraction);

}  // namespace krelvo::cli
