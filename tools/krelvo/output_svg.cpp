#include "output_svg.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>

namespace krelvo::cli {
namespace {

constexpr double kLeftMargin = 150.0;  // room for "×7" and the stock length
constexpr double kRightMargin = 20.0;
constexpr double kDrawingWidth = 1000.0;
constexpr double kTopMargin = 64.0;  // title and legend
constexpr double kRowHeight = 46.0;
constexpr double kBarHeight = 32.0;
constexpr double kCharWidth = 7.0;        // of the 12 px sans-serif font, roughly
constexpr double kMinimumCutWidth = 1.0;  // a 3 mm cut on a 6 m bar would vanish

constexpr std::array<const char*, 8> kPieceColours = {"#8ecae6", "#ffb703", "#90be6d", "#f4a261",
                                                      "#cdb4db", "#e9c46a", "#a8dadc", "#f28482"};

std::string px(double value) {
  std::array<char, 32> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.2f", value);
  return buffer.data();
}

class SvgWriter {
 public:
  SvgWriter(const Report& report, double pixels_per_unit) : report_(report), scale_(pixels_per_unit) {}

  std::ostringstream& out() { return out_; }

  void rect(const char* css_class, double x, double y, double width, double height, const std::string& fill,
            const std::string& title, const std::string& extra = {}) {
    out_ << "<rect class=\"" << css_class << "\" x=\"" << px(x) << "\" y=\"" << px(y) << "\" width=\"" << px(width)
         << "\" height=\"" << px(height) << "\"";
    if (!fill.empty()) out_ << " fill=\"" << fill << "\"";
    out_ << extra << "><title>" << xml_text(title) << "</title></rect>\n";
  }

  void text(double x, double y, const std::string& content, const char* anchor = "start") {
    out_ << "<text x=\"" << px(x) << "\" y=\"" << px(y) << "\" text-anchor=\"" << anchor << "\">" << xml_text(content)
         << "</text>\n";
  }

  // Text centred in a box, left out when it would not fit.
  void centred_text(double x, double width, double y, const std::string& content) {
    if (static_cast<double>(content.size()) * kCharWidth + 4.0 <= width) text(x + width / 2.0, y, content, "middle");
  }

  void bar_row(const PatternGroup& group, double top) {
    const CutBar& bar = report_.plan.bars[group.first_bar];
    const TransformedProblem& units = report_.transformed;
    const Kind& stock = report_.stock_of(bar);
    out_ << "<g class=\"pattern\" data-count=\"" << group.count << "\" data-stock=\"" << bar.stock + 1 << "\">\n";
    text(8.0, top + kBarHeight / 2.0 + 4.0, "×" + std::to_string(group.count));
    std::string stock_text = report_.length(units.stock_units[bar.stock]);
    if (!stock.label.empty()) stock_text += " " + stock.label;
    text(48.0, top + kBarHeight / 2.0 + 4.0, stock_text);
    rect("stock", kLeftMargin, top, units.stock_units[bar.stock] * scale_, kBarHeight, {},
         "stock " + std::to_string(bar.stock + 1) + ", length " + report_.length(units.stock_units[bar.stock]));

    double at = 0.0;  // units from the bar's start
    if (!bar.pieces.empty() && units.trim_units > 0.0) {
      rect("trim", x(at), top, units.trim_units * scale_, kBarHeight, {}, "trim " + report_.length(units.trim_units));
      at += units.trim_units;
    }
    for (std::size_t index = 0; index < bar.pieces.size(); ++index) {
      if (index > 0) at = saw_cut(at, units.kerf_units, top);
      piece(bar.pieces[index], at, top);
      at += units.item_units[bar.pieces[index]];
    }
    if (bar.leftover > 0.0) {
      if (!bar.pieces.empty()) at = saw_cut(at, std::min(units.kerf_units, bar.leftover), top);
      const double rest = units.stock_units[bar.stock] - at;
      if (rest > 0.0) {
        rect("leftover", x(at), top, rest * scale_, kBarHeight, "url(#leftover)",
             "leftover " + report_.length(bar.leftover));
        centred_text(x(at), rest * scale_, top + kBarHeight / 2.0 + 4.0, report_.length(bar.leftover));
      }
    }
    out_ << "</g>\n";
  }

 private:
  double x(double units) const { return kLeftMargin + units * scale_; }

  double saw_cut(double at, double width, double top) {
    if (width <= 0.0) return at;
    rect("kerf", x(at), top - 3.0, std::max(width * scale_, kMinimumCutWidth), kBarHeight + 6.0, {},
         "saw cut " + report_.length(width));
    return at + width;
  }

  void piece(std::size_t item, double at, double top) {
    const Kind& kind = report_.problem.items[item];
    const double length = report_.transformed.item_units[item];
    const double width = length * scale_;
    std::string title = report_.length(length);
    if (!kind.label.empty()) title += " " + kind.label;
    title += " (item " + std::to_string(item + 1) + ")";
    rect("piece", x(at), top, width, kBarHeight, kPieceColours[item % kPieceColours.size()], title,
         " data-item=\"" + std::to_string(item + 1) + "\"");
    if (kind.label.empty()) {
      centred_text(x(at), width, top + kBarHeight / 2.0 + 4.0, report_.length(length));
    } else {
      centred_text(x(at), width, top + 13.0, report_.length(length));
      centred_text(x(at), width, top + 27.0, kind.label);
    }
  }

  const Report& report_;
  double scale_;
  std::ostringstream out_;
};

void write_legend(SvgWriter& svg, double top) {
  struct Entry {
    const char* css_class;
    const char* fill;
    const char* name;
  };
  const std::array<Entry, 4> entries = {Entry{"piece", kPieceColours[0], "piece"}, Entry{"kerf", "", "saw cut"},
                                        Entry{"trim", "", "trim"}, Entry{"leftover", "url(#leftover)", "leftover"}};
  double x = kLeftMargin;
  for (const Entry& entry : entries) {
    svg.rect(entry.css_class, x, top, 14.0, 14.0, entry.fill, entry.name);
    svg.text(x + 20.0, top + 11.0, entry.name);
    x += 110.0;
  }
}

}  // namespace

std::string xml_text(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
          escaped += "\xEF\xBF\xBD";
        else
          escaped += c;
    }
  }
  // U+FFFE and U+FFFF are no XML characters either.
  for (const std::string_view never : {"\xEF\xBF\xBE", "\xEF\xBF\xBF"})
    for (std::size_t at = escaped.find(never); at != std::string::npos; at = escaped.find(never, at))
      escaped.replace(at, never.size(), "\xEF\xBF\xBD");
  return escaped;
}

std::string render_svg(const Report& report) {
  const std::vector<PatternGroup> groups = group_patterns(report.plan);
  double longest = 0.0;
  for (const PatternGroup& group : groups)
    longest = std::max(longest, report.transformed.stock_units[report.plan.bars[group.first_bar].stock]);
  const double width = kLeftMargin + kDrawingWidth + kRightMargin;
  const double height = kTopMargin + kRowHeight * static_cast<double>(groups.size()) + 10.0;
  SvgWriter svg(report, longest > 0.0 ? kDrawingWidth / longest : 1.0);
  std::ostringstream& out = svg.out();
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << px(width) << "\" height=\"" << px(height)
      << "\" viewBox=\"0 0 " << px(width) << " " << px(height) << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      << "<title>Cutting plan</title>\n"
      << "<defs><pattern id=\"leftover\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
         "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"#f1f1f1\"/>"
         "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" stroke=\"#bbbbbb\" stroke-width=\"2\"/></pattern></defs>\n"
      << "<style>rect{stroke:#333333;stroke-width:0.5} .stock{fill:#ffffff} .kerf{fill:#d62828;stroke:none} "
         ".trim{fill:#6c757d}</style>\n";
  std::string title = "Cutting plan: " + std::to_string(report.plan.bars.size()) + " bars, waste " +
                      report.length(report.summary.waste);
  if (report.interrupted) title += " (interrupted: best plan so far)";
  svg.text(8.0, 20.0, title);
  write_legend(svg, 32.0);
  for (std::size_t row = 0; row < groups.size(); ++row)
    svg.bar_row(groups[row], kTopMargin + kRowHeight * static_cast<double>(row));
  out << "</svg>\n";
  return std::move(out).str();
}

}  // namespace krelvo::cli
