#include "item_kinds.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>

#include "automation/checked_math.hpp"
#include "message_number_text.hpp"

namespace krelvo {

void ItemKinds::read(const ProblemInputs& inputs) {
  using automation::raise_invalid_argument;
  using automation::raise_subscript_out_of_range;

  nitem = inputs.nitem;
  if (nitem < 0)
    raise_subscript_out_of_range("Subscript out of range: nitem is " + std::to_string(nitem) +
                                 ", a pattern needs the bounds 0..nitem");
  index.clear();
  length.clear();
  quantity.clear();
  total_demand = 0;
  shortest_length = std::numeric_limits<double>::infinity();
  longest_length = 0.0;
  for (int32_t i = 1; i <= nitem; ++i) {
    if (!inputs.mitem.contains(i))
      raise_subscript_out_of_range("Subscript out of range: mitem has no element " + std::to_string(i) + " (nitem is " +
                                   std::to_string(nitem) + ")");
    const int32_t wanted = inputs.mitem.at(i);
    if (wanted < 0)
      raise_invalid_argument("Invalid procedure call or argument: item kind " + std::to_string(i) +
                             " has the negative quantity " + std::to_string(wanted));
    if (wanted == 0) continue;
    if (!inputs.litem.contains(i))
      raise_subscript_out_of_range("Subscript out of range: litem has no element " + std::to_string(i) + " (nitem is " +
                                   std::to_string(nitem) + ")");
    const double piece = inputs.litem.at(i);
    if (!std::isfinite(piece) || piece <= 0.0)
      raise_invalid_argument("Invalid procedure call or argument: item kind " + std::to_string(i) + " has the length " +
                             message_number_text(piece) + "; a kind with pieces to cut needs a finite length above 0");
    total_demand = automation::checked_add(total_demand, wanted);
    index.push_back(i);
    length.push_back(piece);
    quantity.push_back(wanted);
    shortest_length = std::min(shortest_length, piece);
    longest_length = std::max(longest_length, piece);
  }
  by_length.resize(index.size());
  std::iota(by_length.begin(), by_length.end(), 0);
  std::stable_sort(by_length.begin(), by_length.end(), [this](int32_t a, int32_t b) {
    return length[static_cast<std::size_t>(a)] < length[static_cast<std::size_t>(b)];
  });
  arrays_hold_zero_to_nitem = inputs.litem.contains(0) && inputs.litem.contains(nitem) && inputs.mitem.contains(0);
}

}  // namespace krelvo
