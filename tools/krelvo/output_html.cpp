#include "output_html.hpp"

#include <sstream>
#include <vector>

#include "diagram.hpp"
#include "output_svg.hpp"
#include "output_table.hpp"

namespace krelvo::cli {
namespace {

// Bars drawn at the printed size, so the diagrams' text prints at the size it was laid out for:
// with the margins 700 px, within the 186 mm (703 px) of A4 less the page margins.
constexpr double kPrintedDrawingWidth = 680.0;

// A4 less the page margins is 186 mm wide; nothing may be wider.
constexpr const char* kPageStyle =
    "@page{size:A4;margin:12mm}"
    "*{box-sizing:border-box}"
    "body{font:10pt/1.35 sans-serif;color:#000;margin:0 auto;max-width:186mm;padding:4mm}"
    "h1{font-size:16pt;margin:0 0 2mm}"
    "h2{font-size:12pt;margin:5mm 0 2mm;border-bottom:1px solid #999;break-after:avoid}"
    "table{border-collapse:collapse;width:100%}"
    "th,td{border:1px solid #bbb;padding:1mm 1.5mm;text-align:left;vertical-align:top;overflow-wrap:anywhere}"
    "th{white-space:nowrap}"
    "td.figure{text-align:right;white-space:nowrap}"
    "thead{display:table-header-group}"
    "tr,figure{break-inside:avoid;page-break-inside:avoid}"
    "figure{margin:0 0 3mm}"
    "figcaption{font-weight:bold;overflow-wrap:anywhere}"
    "svg{display:block;width:100%;height:auto}"
    ".tick{display:inline-block;width:3.5mm;height:3.5mm;border:1px solid #000;margin:0.3mm;vertical-align:middle}"
    ".interrupted{border:2px solid #d62828;padding:2mm;font-weight:bold}"
    "@media print{body{padding:0;max-width:none}}";

std::string escaped(std::string_view text) { return xml_text(text); }

void row(std::ostream& out, std::string_view name, std::string_view value) {
  out << "<tr><th>" << escaped(name) << "</th><td>" << escaped(value) << "</td></tr>\n";
}

std::string stock_name(const Report& report, std::size_t kind) {
  std::string name = report.length(report.transformed.stock_units[kind]);
  if (!report.problem.stock[kind].label.empty()) name += " " + report.problem.stock[kind].label;
  return name;
}

void write_job(std::ostream& out, const Report& report, std::string_view date) {
  const Problem& problem = report.problem;
  out << "<section class=\"job\"><h2>Job</h2><table>\n";
  if (problem.items_source == problem.stock_source) {
    row(out, "Problem", problem.items_source);
  } else {
    row(out, "Items", problem.items_source);
    row(out, "Stock", problem.stock_source);
  }
  if (!report.run.offcuts_file.empty()) row(out, "Offcut rack", report.run.offcuts_file);
  row(out, "Date", date);
  std::string level = report.run.level + ", seed " + report.run.seed;
  if (report.run.jobs > 1) level += ", " + std::to_string(report.run.jobs) + " jobs";
  row(out, "Level", level);
  row(out, "Saw kerf", report.length(report.transformed.kerf_units));
  row(out, "Trim", report.length(report.transformed.trim_units) + " off every bar");
  if (report.run.keep_offcuts > 0.0)
    row(out, "Keep offcuts", "leftovers of " + report.length(report.run.keep_offcuts) + " or more");
  out << "</table></section>\n";
}

void write_summary(std::ostream& out, const Report& report) {
  const PlanSummary& summary = report.summary;
  out << "<section class=\"summary\"><h2>Summary</h2><table>\n";
  std::string bars = std::to_string(report.plan.bars.size()) + ":";
  for (std::size_t kind = 0; kind < summary.bars_per_stock.size(); ++kind)
    if (summary.bars_per_stock[kind] > 0)
      bars += " " + stock_name(report, kind) + " ×" + std::to_string(summary.bars_per_stock[kind]) + ";";
  bars.pop_back();
  row(out, "Bars", bars);
  row(out, "Waste", report.length(summary.waste) + " (leftover of every bar but the last)");
  row(out, "Leftover", report.length(summary.leftover) + " (every bar)");
  row(out, "Kept offcuts", std::to_string(summary.kept_count) + ", " + report.length(summary.kept));
  row(out, "Scrap", report.length(summary.scrap) + " (leftover not kept, final saw cuts included)");
  row(out, "Utilisation",
      percent(summary.utilisation) + " (pieces " + report.length(summary.pieces_length) + " of stock " +
          report.length(summary.stock_length) + ")");
  if (summary.lower_bound) {
    const int64_t bound = *summary.lower_bound;
    const auto gap = static_cast<int64_t>(report.plan.bars.size()) - bound;
    std::string text = bars_text(static_cast<std::size_t>(bound)) + "; gap " + std::to_string(gap);
    if (bound > 0) text += " (" + percent(static_cast<double>(gap) / static_cast<double>(bound)) + ")";
    row(out, "Lower bound", text);
  } else {
    row(out, "Lower bound", "not computed: the stock in reach has several lengths");
  }
  out << "</table></section>\n";
}

std::string leftover_text(const Report& report, const CutBar& bar) {
  if (bar.leftover <= 0.0) return "0";
  if (bar.kept > 0.0) return report.length(bar.leftover) + ", keep " + report.length(bar.kept);
  return report.length(bar.leftover) + " scrap";
}

void write_patterns(std::ostream& out, const Report& report, const Diagram& diagram) {
  out << "<section class=\"patterns\"><h2>Patterns</h2><table>\n"
      << "<thead><tr><th>#</th><th>count</th><th>bars</th><th>stock</th><th>pieces</th><th>leftover</th>"
         "<th>done</th></tr></thead><tbody>\n";
  for (std::size_t pattern = 0; pattern < diagram.patterns().size(); ++pattern) {
    const PatternGroup& group = diagram.patterns()[pattern];
    const CutBar& bar = report.plan.bars[group.first_bar];
    out << "<tr class=\"pattern-row\" data-pattern=\"" << pattern + 1 << "\"><td class=\"figure\">" << pattern + 1
        << "</td><td class=\"figure\">×" << group.count << "</td><td>" << escaped(bar_numbers_text(group.bars))
        << "</td><td>" << escaped(stock_name(report, bar.stock)) << "</td><td>" << escaped(describe_pieces(report, bar))
        << "</td><td>" << escaped(leftover_text(report, bar)) << "</td><td>";
    for (std::size_t tick = 0; tick < group.bars.size(); ++tick)
      out << "<span class=\"tick\" title=\"bar " << group.bars[tick] + 1 << "\"></span>";
    out << "</td></tr>\n";
  }
  out << "</tbody></table></section>\n";
}

void svg_open(std::ostream& out, double width, double height) {
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " << px(width) << " " << px(height)
      << "\" font-family=\"sans-serif\" font-size=\"12\">\n";
}

void write_diagrams(std::ostream& out, const Diagram& diagram) {
  out << "<section class=\"diagrams\"><h2>Diagrams</h2>\n<figure class=\"legend\">";
  svg_open(out, diagram.width(), diagram.legend_height());
  diagram.write_legend(out, 0.0);
  out << "</svg></figure>\n";
  const double width = diagram.width();
  for (std::size_t pattern = 0; pattern < diagram.patterns().size(); ++pattern) {
    out << "<figure class=\"pattern\" id=\"pattern-" << pattern + 1 << "\"><figcaption>"
        << escaped(diagram.heading(pattern)) << "</figcaption>";
    svg_open(out, width, diagram.pattern_height(false));
    diagram.write_pattern(out, pattern, 0.0, false);
    out << "</svg></figure>\n";
  }
  out << "</section>\n";
}

void write_offcuts(std::ostream& out, const Report& report, const Diagram& diagram) {
  out << "<section class=\"offcuts\"><h2>Offcuts to keep</h2>\n";
  if (report.summary.kept_count == 0) {
    out << "<p>"
        << (report.run.keep_offcuts > 0.0 ? "No leftover reaches " + report.length(report.run.keep_offcuts) + "."
                                          : std::string("None: no minimum length was given for offcuts to keep."))
        << "</p></section>\n";
    return;
  }
  out << "<table><thead><tr><th>length</th><th>count</th><th>from pattern</th><th>bars</th></tr></thead><tbody>\n";
  for (std::size_t pattern = 0; pattern < diagram.patterns().size(); ++pattern) {
    const PatternGroup& group = diagram.patterns()[pattern];
    const CutBar& bar = report.plan.bars[group.first_bar];
    if (bar.kept <= 0.0) continue;
    out << "<tr><td class=\"figure\">" << escaped(report.length(bar.kept)) << "</td><td class=\"figure\">×"
        << group.count << "</td><td class=\"figure\">" << pattern + 1 << "</td><td>"
        << escaped(bar_numbers_text(group.bars)) << "</td></tr>\n";
  }
  out << "</tbody></table></section>\n";
}

}  // namespace

std::string render_html(const Report& report, std::string_view date) {
  const Diagram diagram(report, kPrintedDrawingWidth, false);
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
      << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      << "<title>Cutting plan: " << escaped(report.problem.items_source) << "</title>\n"
      << "<style>" << kPageStyle << Diagram::style() << "</style>\n</head><body>\n"
      << "<h1>Cutting plan: " << bars_text(report.plan.bars.size()) << "</h1>\n";
  if (report.interrupted)
    out << "<p class=\"interrupted\">Interrupted: the best plan found before the run was stopped.</p>\n";
  write_job(out, report, date);
  write_summary(out, report);
  write_patterns(out, report, diagram);
  write_diagrams(out, diagram);
  write_offcuts(out, report, diagram);
  out << "</body></html>\n";
  return std::move(out).str();
}

}  // namespace krelvo::cli
