#include "item_colours.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <set>

namespace krelvo::cli {
namespace {

constexpr std::array<const char*, kPaletteSize> kPalette = {"#8dd3c7", "#ffffb3", "#bebada", "#fb8072",
                                                            "#80b1d3", "#fdb462", "#b3de69", "#fccde5",
                                                            "#c49c94", "#bc80bd", "#e5d8bd", "#ffed6f"};

// Further light colours, hues spread by the golden angle so consecutive ones differ most.
std::string extra_colour(std::size_t index) {
  const double hue = std::fmod(static_cast<double>(index) * 137.508, 360.0) / 60.0;
  const double saturation = 0.55;
  const double lightness = 0.75;
  const double chroma = (1.0 - std::fabs(2.0 * lightness - 1.0)) * saturation;
  const double second = chroma * (1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0));
  const std::array<std::array<double, 3>, 6> sectors = {{{chroma, second, 0},
                                                         {second, chroma, 0},
                                                         {0, chroma, second},
                                                         {0, second, chroma},
                                                         {second, 0, chroma},
                                                         {chroma, 0, second}}};
  const auto& rgb = sectors[static_cast<std::size_t>(hue) % 6];
  const double base = lightness - chroma / 2.0;
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "#%02x%02x%02x", static_cast<int>(std::lround((rgb[0] + base) * 255)),
                static_cast<int>(std::lround((rgb[1] + base) * 255)),
                static_cast<int>(std::lround((rgb[2] + base) * 255)));
  return text.data();
}

std::string colour(std::size_t index) { return index < kPaletteSize ? kPalette[index] : extra_colour(index); }

}  // namespace

std::vector<std::string> item_colours(const Problem& problem, const CuttingPlan& plan) {
  const std::size_t kinds = problem.items.size();
  std::vector<std::string> colours;
  colours.reserve(kinds);
  if (kinds <= kPaletteSize) {
    for (std::size_t item = 0; item < kinds; ++item) colours.push_back(colour(item));
    return colours;
  }
  std::vector<std::set<std::size_t>> neighbours(kinds);
  for (const CutBar& bar : plan.bars)
    for (std::size_t at = 1; at < bar.pieces.size(); ++at)
      if (bar.pieces[at] != bar.pieces[at - 1]) {
        neighbours[bar.pieces[at]].insert(bar.pieces[at - 1]);
        neighbours[bar.pieces[at - 1]].insert(bar.pieces[at]);
      }
  // The palette in turn, each kind moved on to the next colour that none of its
  // neighbours coloured before it has; past the palette only when all twelve are taken.
  std::vector<std::size_t> index(kinds, 0);
  for (std::size_t item = 0; item < kinds; ++item) {
    std::set<std::size_t> taken;
    for (std::size_t other : neighbours[item])
      if (other < item) taken.insert(index[other]);
    index[item] = kPaletteSize;
    for (std::size_t offset = 0; offset < kPaletteSize && index[item] == kPaletteSize; ++offset)
      if (const std::size_t candidate = (item + offset) % kPaletteSize; taken.count(candidate) == 0)
        index[item] = candidate;
    while (taken.count(index[item]) > 0) ++index[item];
    colours.push_back(colour(index[item]));
  }
  return colours;
}

}  // namespace krelvo::cli
