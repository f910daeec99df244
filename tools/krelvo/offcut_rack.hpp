// The offcut rack: leftovers kept from earlier jobs, listed like stock
// (length, quantity, label) in CSV or in JSON as {"offcuts": [...]}. Its
// offcuts are cut first, and after a run the rack can be written back with
// the offcuts used taken off and the new ones put on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "problem.hpp"
#include "report.hpp"

namespace krelvo::cli {

struct OffcutRack {
  std::string path;
  std::vector<Kind> offcuts;  // as listed in the file
  bool json = false;          // the file's format, kept when it is written back
  bool existed = false;       // false: a new rack, created when written back
  std::string text;           // the file as read, for the backup
  std::vector<std::string> warnings;  // columns not used
};

// A missing file is an empty new rack when `may_be_missing`, else an input error.
OffcutRack read_offcut_rack(const std::string& path, bool may_be_missing);

// Where the rack went in the problem: stock kind k < problem.offcut_kinds is rack entry rack_entry[k].
struct RackPlacement {
  std::vector<std::size_t> rack_entry;
};

// Puts the offcuts before the regular stock as limited kinds, shortest first,
// so small offcuts are used up before long ones. Offcuts too short for any
// piece after the trim stay on the rack; so do entries of quantity 0.
RackPlacement place_offcuts(Problem& problem, const OffcutRack& rack, const Allowances& allowances);

// The rack after the plan: one offcut taken off per bar cut from it, every
// kept leftover put on (equal lengths without label counted together).
std::vector<Kind> rack_after(const OffcutRack& rack, const RackPlacement& placement, const Report& report);

// The rack in the file's own format.
std::string render_rack(const OffcutRack& rack, const std::vector<Kind>& offcuts);

}  // namespace krelvo::cli
