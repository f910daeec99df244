#include "offcut_rack.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <numeric>
#include <sstream>

#include "input_checks.hpp"
#include "input_csv.hpp"
#include "input_json.hpp"
#include "output_csv.hpp"

namespace krelvo::cli {
namespace {

constexpr const char* kDefaultOffcutLabel = "offcut";

bool is_json_path(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".json";
}

// The shortest piece still to cut, in the user's unit; the rack lengths are compared with it.
double shortest_piece(const Problem& problem) {
  double shortest = 0.0;
  for (const Kind& item : problem.items)
    if (item.quantity > 0 && (shortest == 0.0 || item.length < shortest)) shortest = item.length;
  return shortest;
}

}  // namespace

OffcutRack read_offcut_rack(const std::string& path, bool may_be_missing) {
  OffcutRack rack;
  rack.path = path;
  rack.json = is_json_path(path);
  std::error_code error;
  if (may_be_missing && !std::filesystem::exists(path, error) && !error) return rack;
  rack.text = read_input_file(path);
  rack.existed = true;
  rack.offcuts =
      rack.json ? parse_kind_list_json(rack.text, path, "offcuts", "offcut") : parse_kinds_csv(rack.text, path);
  return rack;
}

RackPlacement place_offcuts(Problem& problem, const OffcutRack& rack, const Allowances& allowances) {
  // Lengths scaled as the problem will be, so "fits after the trim" is exact.
  std::vector<double> lengths{allowances.kerf, allowances.trim};
  for (const Kind& offcut : rack.offcuts) lengths.push_back(offcut.length);
  for (const Kind& item : problem.items) lengths.push_back(item.length);
  const LengthScale scale = LengthScale::for_lengths(lengths);
  const double shortest = scale.to_units(shortest_piece(problem));
  const double trim = scale.to_units(allowances.trim);

  RackPlacement placement;
  for (std::size_t entry = 0; entry < rack.offcuts.size(); ++entry) {
    const Kind& offcut = rack.offcuts[entry];
    if (offcut.quantity > 0 && shortest > 0.0 && scale.to_units(offcut.length) - trim >= shortest)
      placement.rack_entry.push_back(entry);
  }
  std::stable_sort(placement.rack_entry.begin(), placement.rack_entry.end(),
                   [&](std::size_t a, std::size_t b) { return rack.offcuts[a].length < rack.offcuts[b].length; });

  std::vector<Kind> stock;
  for (std::size_t entry : placement.rack_entry) {
    Kind offcut = rack.offcuts[entry];
    if (offcut.label.empty()) offcut.label = kDefaultOffcutLabel;
    stock.push_back(std::move(offcut));
  }
  problem.offcut_kinds = stock.size();
  stock.insert(stock.end(), problem.stock.begin(), problem.stock.end());
  problem.stock = std::move(stock);
  return placement;
}

std::vector<Kind> rack_after(const OffcutRack& rack, const RackPlacement& placement, const Report& report) {
  std::vector<Kind> offcuts = rack.offcuts;
  std::vector<Kind> added;
  for (const CutBar& bar : report.plan.bars) {
    if (report.from_offcut(bar)) --offcuts[placement.rack_entry[bar.stock]].quantity;
    if (bar.kept <= 0.0) continue;
    // Back to the user's unit with the decimals of the input, as every output shows it.
    const double length = parse_number(report.length(bar.kept)).value_or(report.transformed.scale.to_user(bar.kept));
    const auto same = std::find_if(added.begin(), added.end(), [&](const Kind& kind) { return kind.length == length; });
    if (same != added.end())
      ++same->quantity;
    else
      added.push_back({length, 1, {}, {}});
  }
  std::erase_if(offcuts, [](const Kind& offcut) { return offcut.quantity <= 0; });
  std::sort(added.begin(), added.end(), [](const Kind& a, const Kind& b) { return a.length < b.length; });
  for (const Kind& kind : added) {
    const auto same = std::find_if(offcuts.begin(), offcuts.end(), [&](const Kind& offcut) {
      return offcut.label.empty() && offcut.length == kind.length;
    });
    if (same != offcuts.end())
      same->quantity += kind.quantity;
    else
      offcuts.push_back(kind);
  }
  return offcuts;
}

std::string render_rack(const OffcutRack& rack, const std::vector<Kind>& offcuts) {
  if (rack.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Kind& offcut : offcuts) {
      // Whole lengths stay integers in the file, as people write them.
      nlohmann::ordered_json length = offcut.length;
      if (std::fabs(offcut.length) < 1e15 && offcut.length == std::trunc(offcut.length))
        length = static_cast<int64_t>(offcut.length);
      nlohmann::ordered_json entry = {{"length", std::move(length)}, {"quantity", offcut.quantity}};
      if (!offcut.label.empty()) entry["label"] = offcut.label;
      list.push_back(std::move(entry));
    }
    return nlohmann::ordered_json{{"offcuts", std::move(list)}}.dump(2) + "\n";
  }
  std::ostringstream out;
  out << "length,quantity,label\n";
  for (const Kind& offcut : offcuts)
    out << round_trip_number_text(offcut.length) << ',' << offcut.quantity << ',' << csv_field(offcut.label) << '\n';
  return std::move(out).str();
}

}  // namespace krelvo::cli
