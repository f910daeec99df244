// The cutting problem as the user wrote it, and its translation to and from
// the optimizer's terms: item kinds sorted by length, saw kerf and trim folded
// into the lengths, lengths in whole units so an exact fit stays exact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "length_scale.hpp"

namespace krelvo::cli {

// An item kind (pieces to cut) or a stock kind (bars in hand).
struct Kind {
  double length = 0.0;
  int32_t quantity = 0;  // stock: 0 means an unlimited supply
  std::string label;     // may be empty
  std::string origin;    // where it was read, for messages: "items.csv:4", "p.json: item 2"
  std::string length_text;  // as written, for exact units; empty: the shortest text of `length`
};

struct Problem {
  std::vector<Kind> stock;  // in the order given
  std::vector<Kind> items;  // in the user's order; item numbers are 1-based positions here
  std::string stock_source;
  std::string items_source;
  std::size_t offcut_kinds = 0;  // the first stock kinds are offcuts from the rack
};

struct Allowances {
  double kerf = 0.0;  // width of one saw cut
  double trim = 0.0;  // cut off each bar before its first piece
  double keep_offcuts = 0.0;  // leftovers at least this long are kept; here so its units are exact
};

// What the optimizer receives; kind k of the optimizer sits at index k - 1.
struct OptimizerInput {
  std::vector<double> item_lengths;  // ascending
  std::vector<int32_t> item_quantities;
  std::vector<double> stock_lengths;
  std::vector<int32_t> stock_quantities;
};

struct TransformedProblem {
  OptimizerInput input;
  std::vector<std::size_t> user_item;   // optimizer kind k - 1 -> index into Problem::items (quantity > 0 only)
  std::vector<std::size_t> user_stock;  // optimizer stock kind k - 1 -> index into Problem::stock
  LengthScale scale;
  double kerf_units = 0.0;
  double trim_units = 0.0;
  double keep_units = 0.0;  // Allowances::keep_offcuts
  std::vector<double> item_units;   // per user item, its own length in units
  std::vector<double> stock_units;  // per user stock kind, its own length in units
  std::vector<std::string> warnings;
};

// A plan as the optimizer returns it: per bar, counts of optimizer kinds 1..n at 0..n-1.
struct OptimizerPlan {
  double otpad = 0.0;  // in units, the optimizer's own figure
  std::vector<std::vector<int32_t>> patterns;
};

// A bar of the plan in the user's terms.
struct CutBar {
  std::size_t stock = 0;            // index into Problem::stock
  std::vector<std::size_t> pieces;  // indices into Problem::items, longest first, ties by number
  double used = 0.0;                // units: trim, pieces and the cuts between them
  double leftover = 0.0;            // units: the rest of the bar
  double kept = 0.0;                // units: the part of the leftover kept as an offcut, 0 when scrapped
};

struct CuttingPlan {
  std::vector<CutBar> bars;  // in consumption order
};

// Checks the problem as a whole (input errors) and builds the optimizer's
// problem, its stock kinds in `stock_order` (indices into Problem::stock; empty: as given).
TransformedProblem transform(const Problem& problem, const Allowances& allowances,
                             std::span<const std::size_t> stock_order = {});

// A kind's origin without the file name its list shares: "stock 2", "line 4".
std::string short_origin(const Kind& kind, const std::string& source);

// Maps a plan of the optimizer back to the user's items and stock; a plan that
// does not cut every piece exactly once, or uses more bars than exist, is refused.
CuttingPlan map_back(const Problem& problem, const TransformedProblem& transformed, const OptimizerPlan& plan);

}  // namespace krelvo::cli
