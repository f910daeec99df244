#include "diagram.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "item_colours.hpp"
#include "output_svg.hpp"

namespace krelvo::cli {
namespace {

constexpr double kCharWidth = 7.0;  // of the 12 px sans-serif font, a little over its average
constexpr double kTextPadding = 4.0;
constexpr double kHeadingHeight = 20.0;
constexpr double kBarHeight = 32.0;
constexpr double kCutOverhang = 3.0;      // saw cuts stand out of the bar
constexpr double kLeaderHeight = 22.0;    // room under the bar for the numbers of narrow pieces
constexpr double kMinimumCutWidth = 1.0;  // a 3 mm cut on a 6 m bar would vanish
constexpr double kLegendLineHeight = 20.0;
constexpr double kSwatch = 14.0;

std::size_t code_points(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool fits(std::string_view text, double width) { return text_width(text) + kTextPadding <= width; }

std::string item_number(std::size_t item) { return "#" + std::to_string(item + 1); }

}  // namespace

double text_width(std::string_view text) { return static_cast<double>(code_points(text)) * kCharWidth; }

std::string fit_text(std::string_view text, double width) {
  if (fits(text, width)) return std::string(text);
  const double room = width - kTextPadding - kCharWidth;  // the "…" takes one character
  if (room < kCharWidth) return {};
  const auto keep = static_cast<std::size_t>(room / kCharWidth);
  std::size_t end = 0;
  for (std::size_t kept = 0; end < text.size(); ++end) {
    if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && kept++ == keep) break;
  }
  return std::string(text.substr(0, end)) + "…";
}

std::string px(double value) {
  std::array<char, 32> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.2f", value);
  return buffer.data();
}

void write_rect(std::ostream& out, const char* css_class, double x, double y, double width, double height,
                const std::string& fill, const std::string& title, const std::string& attributes) {
  out << "<rect class=\"" << css_class << "\" x=\"" << px(x) << "\" y=\"" << px(y) << "\" width=\"" << px(width)
      << "\" height=\"" << px(height) << "\"";
  if (!fill.empty()) out << " fill=\"" << fill << "\"";
  out << attributes << "><title>" << xml_text(title) << "</title></rect>\n";
}

void write_text(std::ostream& out, double x, double y, std::string_view content, const char* anchor,
                const char* css_class) {
  out << "<text x=\"" << px(x) << "\" y=\"" << px(y) << "\" text-anchor=\"" << anchor << "\"";
  if (css_class != nullptr) out << " class=\"" << css_class << "\"";
  out << ">" << xml_text(content) << "</text>\n";
}

Diagram::Diagram(const Report& report, double drawing_width, bool headings_inside)
    : report_(report),
      patterns_(group_patterns(report.plan)),
      colours_(item_colours(report.problem, report.plan)),
      drawing_width_(drawing_width),
      width_(drawing_width + 2.0 * kMargin) {
  double longest = 0.0;
  for (const PatternGroup& group : patterns_)
    longest = std::max(longest, report.transformed.stock_units[report.plan.bars[group.first_bar].stock]);
  if (longest > 0.0) pixels_per_unit_ = drawing_width_ / longest;
  if (headings_inside)
    for (std::size_t pattern = 0; pattern < patterns_.size(); ++pattern)
      width_ = std::max(width_, text_width(heading(pattern)) + 2.0 * kMargin);
  lay_out_legend();
}

std::string Diagram::heading(std::size_t pattern) const {
  const PatternGroup& group = patterns_[pattern];
  const CutBar& bar = report_.plan.bars[group.first_bar];
  const Kind& stock = report_.stock_of(bar);
  std::string text = "Pattern " + std::to_string(pattern + 1) + " ×" + std::to_string(group.count) + " · bar" +
                     (group.bars.size() > 1 ? "s " : " ") + bar_numbers_text(group.bars) + " · stock " +
                     std::to_string(bar.stock + 1) + ": " + report_.length(report_.transformed.stock_units[bar.stock]);
  if (!stock.label.empty()) text += " " + stock.label;
  if (bar.leftover > 0.0) text += " · leftover " + report_.length(bar.leftover) + (bar.kept > 0.0 ? " kept" : " scrap");
  return text;
}

double Diagram::pattern_height(bool with_heading) const {
  return (with_heading ? kHeadingHeight : 0.0) + kCutOverhang + kBarHeight + kLeaderHeight;
}

void Diagram::write_pattern(std::ostream& out, std::size_t pattern, double top, bool with_heading) const {
  const PatternGroup& group = patterns_[pattern];
  const CutBar& bar = report_.plan.bars[group.first_bar];
  const TransformedProblem& units = report_.transformed;
  out << "<g class=\"pattern\" data-pattern=\"" << pattern + 1 << "\" data-count=\"" << group.count
      << "\" data-stock=\"" << bar.stock + 1 << "\" data-bars=\"" << bar_numbers_text(group.bars) << "\">\n";
  if (with_heading) {
    write_text(out, kMargin, top + 14.0, heading(pattern), "start", "heading");
    top += kHeadingHeight;
  }
  top += kCutOverhang;
  const Kind& stock = report_.stock_of(bar);
  std::string stock_title =
      "stock " + std::to_string(bar.stock + 1) + ": " + report_.length(units.stock_units[bar.stock]);
  if (!stock.label.empty()) stock_title += " " + stock.label;
  write_rect(out, "stock", x(0.0), top, units.stock_units[bar.stock] * pixels_per_unit_, kBarHeight, {}, stock_title);

  double at = 0.0;  // units from the bar's start
  if (!bar.pieces.empty() && units.trim_units > 0.0) {
    // The trim's length holds the cut that squares the end.
    const double cut = std::min(units.kerf_units, units.trim_units);
    const double waste = units.trim_units - cut;
    if (waste > 0.0)
      write_rect(out, "trim", x(at), top, waste * pixels_per_unit_, kBarHeight, {},
                 "trim " + report_.length(units.trim_units) + " (its saw cut included)");
    saw_cut(out, waste, cut, top, "saw cut " + report_.length(cut) + " of the trim");
    at += units.trim_units;
  }
  std::vector<Leader> leaders;
  for (std::size_t index = 0; index < bar.pieces.size(); ++index) {
    if (index > 0) at = saw_cut(out, at, units.kerf_units, top, "saw cut " + report_.length(units.kerf_units));
    piece(out, bar.pieces[index], at, top, leaders);
    at += units.item_units[bar.pieces[index]];
  }
  leftover(out, bar, at, top);
  write_leaders(out, leaders, top + kBarHeight);
  out << "</g>\n";
}

double Diagram::saw_cut(std::ostream& out, double at, double width, double top, const std::string& title) const {
  if (width <= 0.0) return at;
  write_rect(out, "kerf", x(at), top - kCutOverhang, std::max(width * pixels_per_unit_, kMinimumCutWidth),
             kBarHeight + 2.0 * kCutOverhang, {}, title);
  return at + width;
}

void Diagram::piece(std::ostream& out, std::size_t item, double at, double top, std::vector<Leader>& leaders) const {
  const Kind& kind = report_.problem.items[item];
  const double length = report_.transformed.item_units[item];
  const double width = length * pixels_per_unit_;
  const double left = x(at);
  const double centre = left + width / 2.0;
  std::string title = report_.length(length);
  if (!kind.label.empty()) title += " " + kind.label;
  title += " (item " + std::to_string(item + 1) + ")";
  write_rect(out, "piece", left, top, width, kBarHeight, colours_[item], title,
             " data-item=\"" + std::to_string(item + 1) + "\"");

  const std::string length_text = report_.length(length);
  const std::string number = item_number(item);
  if (fits(length_text, width)) {
    if (kind.label.empty()) {
      write_text(out, centre, top + kBarHeight / 2.0 + 4.0, length_text, "middle");
      return;
    }
    std::string second = fit_text(kind.label, width);
    if (second.empty() && fits(number, width)) second = number;
    write_text(out, centre, top + (second.empty() ? kBarHeight / 2.0 + 4.0 : 13.0), length_text, "middle");
    if (!second.empty()) write_text(out, centre, top + 27.0, second, "middle");
  } else if (fits(number, width)) {
    write_text(out, centre, top + kBarHeight / 2.0 + 4.0, number, "middle", "number");
  } else {
    leaders.push_back({centre, number});
  }
}

void Diagram::write_leaders(std::ostream& out, const std::vector<Leader>& leaders, double bottom) const {
  // Numbers side by side under their pieces: pushed right past the previous
  // one, then back left where the last would leave the drawing.
  constexpr double kGap = 8.0;  // bold digits run wider than the estimate
  std::vector<double> centres;
  double end = kMargin;
  for (const Leader& leader : leaders) {
    const double half = text_width(leader.number) / 2.0;
    centres.push_back(std::max(leader.piece_centre, end + kGap + half));
    end = centres.back() + half;
  }
  double start = kMargin + drawing_width_;
  for (std::size_t index = leaders.size(); index-- > 0;) {
    const double half = text_width(leaders[index].number) / 2.0;
    centres[index] = std::min(centres[index], start - half);
    start = centres[index] - half - kGap;
  }
  for (std::size_t index = 0; index < leaders.size(); ++index) {
    out << "<path class=\"leader\" d=\"M" << px(leaders[index].piece_centre) << " " << px(bottom) << " L"
        << px(centres[index]) << " " << px(bottom + 7.0) << "\"/>\n";
    write_text(out, centres[index], bottom + 18.0, leaders[index].number, "middle", "number");
  }
}

void Diagram::leftover(std::ostream& out, const CutBar& bar, double at, double top) const {
  if (bar.leftover <= 0.0) return;
  const TransformedProblem& units = report_.transformed;
  std::string title = "leftover " + report_.length(bar.leftover);
  if (!bar.pieces.empty()) {
    // The cut that frees the rest belongs to the leftover, as the figures count it.
    const double cut = std::min(units.kerf_units, bar.leftover);
    at = saw_cut(out, at, cut, top, "final saw cut " + report_.length(cut));
    if (cut > 0.0) title += ": final saw cut " + report_.length(cut) + ",";
  }
  const double rest = units.stock_units[bar.stock] - at;
  if (rest <= 0.0) return;
  const bool kept = bar.kept > 0.0;
  title += kept ? " offcut " + report_.length(bar.kept) + " kept" : " scrap";
  write_rect(out, kept ? "kept" : "scrap", x(at), top, rest * pixels_per_unit_, kBarHeight, {}, title);
  const std::string text = kept ? "keep " + report_.length(bar.kept) : report_.length(bar.leftover);
  if (fits(text, rest * pixels_per_unit_))
    write_text(out, x(at) + rest * pixels_per_unit_ / 2.0, top + kBarHeight / 2.0 + 4.0, text, "middle");
}

void Diagram::lay_out_legend() {
  std::vector<bool> cut(report_.problem.items.size(), false);
  for (const CutBar& bar : report_.plan.bars)
    for (std::size_t item : bar.pieces) cut[item] = true;
  const double widest = width_ - 2.0 * kMargin;
  for (std::size_t item = 0; item < cut.size(); ++item) {
    if (!cut[item]) continue;
    const Kind& kind = report_.problem.items[item];
    std::string text = item_number(item) + " " + report_.length(report_.transformed.item_units[item]);
    if (!kind.label.empty()) text += " " + kind.label;
    legend_.push_back({"swatch", colours_[item], fit_text(text, widest - kSwatch - 6.0), text, item + 1});
  }
  legend_.push_back({"kerf", {}, "saw cut", "saw cut", 0});
  legend_.push_back({"trim", {}, "trim", "trim", 0});
  legend_.push_back({"kept", {}, "kept offcut", "kept offcut", 0});
  legend_.push_back({"scrap", {}, "scrap", "scrap", 0});
  double x = kMargin;
  double line = 0.0;
  for (LegendEntry& entry : legend_) {
    const double entry_width = kSwatch + 6.0 + text_width(entry.text) + 18.0;
    if (x > kMargin && x + entry_width > width_ - kMargin) {
      x = kMargin;
      ++line;
    }
    entry.x = x;
    entry.line = line;
    x += entry_width;
  }
  legend_lines_ = line + 1.0;
}

double Diagram::legend_height() const { return legend_lines_ * kLegendLineHeight; }

void Diagram::write_legend(std::ostream& out, double top) const {
  out << "<g class=\"legend\">\n";
  for (const LegendEntry& entry : legend_) {
    const double y = top + entry.line * kLegendLineHeight;
    const std::string attributes = entry.item > 0 ? " data-item=\"" + std::to_string(entry.item) + "\"" : "";
    write_rect(out, entry.css_class.c_str(), entry.x, y, kSwatch, kSwatch, entry.fill, entry.title, attributes);
    write_text(out, entry.x + kSwatch + 6.0, y + 11.0, entry.text);
  }
  out << "</g>\n";
}

const char* Diagram::style() {
  return "rect{stroke:#333333;stroke-width:0.5} .stock{fill:#ffffff} .kerf{fill:#d62828;stroke:none} "
         ".trim{fill:#6c757d} .kept{fill:#d8f3dc;stroke:#2d6a4f;stroke-dasharray:4 2} .scrap{fill:#e5e5e5} "
         ".leader{stroke:#333333;stroke-width:0.75;fill:none} .heading{font-weight:bold} "
         ".number{font-weight:bold} text{pointer-events:none}";
}

}  // namespace krelvo::cli
