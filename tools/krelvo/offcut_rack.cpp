#include "offcut_rack.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <numeric>
#include <sstream>

#include "decimal.hpp"
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

// A length as its exact decimal: from the text as written, else the shortest
// text of its double; unreadable text counts as zero.
Decimal decimal_of(const std::string& written, double length) {
  return parse_decimal(written.empty() ? round_trip_number_text(length) : written).value_or(Decimal{});
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
  if (rack.json) {
    rack.offcuts = parse_kind_list_json(rack.text, path, "offcuts");
  } else {
    KindList list = parse_kinds_csv(rack.text, path);
    rack.offcuts = std::move(list.kinds);
    rack.warnings = std::move(list.warnings);
  }
  return rack;
}

RackPlacement place_offcuts(Problem& problem, const OffcutRack& rack, const Allowances& allowances) {
  // Compared in whole units of the finest length involved, so "fits after the trim" is exact.
  std::vector<Decimal> pieces;
  for (const Kind& item : problem.items)
    if (item.quantity > 0) pieces.push_back(decimal_of(item.length_text, item.length));
  const Decimal trim = decimal_of({}, allowances.trim);
  int64_t decimals = trim.decimals();
  for (const Decimal& piece : pieces) decimals = std::max(decimals, piece.decimals());
  for (const Kind& offcut : rack.offcuts)
    decimals = std::max(decimals, decimal_of(offcut.length_text, offcut.length).decimals());
  // Lengths beyond exact units are left to the problem's own check, which names them.
  const auto units = [&](const Decimal& length) {
    return length.scaled(decimals, LengthScale::kLargestUnits).value_or(LengthScale::kLargestUnits);
  };
  int64_t shortest = 0;
  for (const Decimal& piece : pieces)
    if (shortest == 0 || units(piece) < shortest) shortest = units(piece);

  RackPlacement placement;
  for (std::size_t entry = 0; entry < rack.offcuts.size(); ++entry) {
    const Kind& offcut = rack.offcuts[entry];
    if (offcut.quantity > 0 && shortest > 0 &&
        units(decimal_of(offcut.length_text, offcut.length)) - units(trim) >= shortest)
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
    const std::string text = report.length(bar.kept);
    const double length = report.transformed.scale.to_user(bar.kept);
    const auto same =
        std::find_if(added.begin(), added.end(), [&](const Kind& kind) { return kind.length_text == text; });
    if (same != added.end())
      ++same->quantity;
    else
      added.push_back({length, 1, {}, {}, text});
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
    out << (offcut.length_text.empty() ? round_trip_number_text(offcut.length) : offcut.length_text) << ','
        << offcut.quantity << ',' << csv_field(offcut.label) << '\n';
  return std::move(out).str();
}

}  // namespace krelvo::cli
