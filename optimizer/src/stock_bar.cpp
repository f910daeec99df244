#include "stock_bar.hpp"

#include <cmath>
#include <string>

#include "automation/checked_math.hpp"
#include "message_number_text.hpp"

namespace krelvo {

StockKind read_stock_kind(const ProblemInputs& inputs, int32_t kind) {
  for (const bool lengths : {true, false}) {
    const bool present = lengths ? inputs.lsource.contains(kind) : inputs.msource.contains(kind);
    if (!present)
      automation::raise_subscript_out_of_range("Subscript out of range: stock exhausted, demand is still open and " +
                                               std::string(lengths ? "lsource" : "msource") + " has no element " +
                                               std::to_string(kind));
  }
  StockKind stock{kind, inputs.lsource.at(kind), inputs.msource.at(kind)};
  if (!std::isfinite(stock.length))
    automation::raise_overflow("Overflow: stock kind " + std::to_string(kind) + " has the length " +
                               message_number_text(stock.length) + ", not a finite number");
  return stock;
}

void raise_unfinishable(const StockKind& stock, int32_t ntrial, int32_t too_long, double too_long_length) {
  std::string why;
  if (ntrial <= 0)
    why = " receives no piece: ntrial is " + std::to_string(ntrial);
  else if (too_long == 0)
    why = " cannot hold any remaining piece";
  else
    why =
        " cannot hold item kind " + std::to_string(too_long) + " (length " + message_number_text(too_long_length) + ")";
  automation::raise_subscript_out_of_range("Subscript out of range: stock kind " + std::to_string(stock.kind) +
                                           " (length " + message_number_text(stock.length) + ")" + why +
                                           ", and its supply is unlimited, so the plan can never be finished");
}

void check_fill_range(const StockKind& stock, double longest_open_length) {
  // A fill never exceeds the bar, so the bar plus the longest piece bounds every sum.
  if (!std::isfinite(stock.length + longest_open_length))
    automation::raise_overflow("Overflow: on stock kind " + std::to_string(stock.kind) + " (length " +
                               message_number_text(stock.length) + ") a fill with pieces of length " +
                               message_number_text(longest_open_length) + " overflows the double range");
}

}  // namespace krelvo
