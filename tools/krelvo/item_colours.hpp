// Colours of item kinds in the diagrams: every kind its own colour while the
// palette lasts; beyond it the palette repeats, but never on two kinds that lie
// side by side on a bar, so neighbouring pieces always differ.
#pragma once

#include <string>
#include <vector>

#include "problem.hpp"

namespace krelvo::cli {

// Light enough for black text, told apart by most colour-blind readers as well.
inline constexpr std::size_t kPaletteSize = 12;

// Per item (index into Problem::items), "#rrggbb".
std::vector<std::string> item_colours(const Problem& problem, const CuttingPlan& plan);

}  // namespace krelvo::cli
