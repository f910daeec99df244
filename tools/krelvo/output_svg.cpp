#include "output_svg.hpp"

#include <sstream>

#include "diagram.hpp"
#include "output_table.hpp"

namespace krelvo::cli {

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
  const Diagram diagram(report);
  constexpr double kTitleHeight = 28.0;
  const double legend_top = kTitleHeight + 4.0;
  const double patterns_top = legend_top + diagram.legend_height() + 8.0;
  const double row = diagram.pattern_height(true);
  const double height = patterns_top + row * static_cast<double>(diagram.patterns().size()) + 10.0;
  const double width = diagram.width();
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << px(width) << "\" height=\"" << px(height)
      << "\" viewBox=\"0 0 " << px(width) << " " << px(height) << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      << "<title>Cutting plan</title>\n"
      << "<style>" << Diagram::style() << "</style>\n";
  std::string title =
      "Cutting plan: " + bars_text(report.plan.bars.size()) + ", waste " + report.length(report.summary.waste);
  if (report.interrupted) title += " (interrupted: best plan so far)";
  write_text(out, Diagram::kMargin, 20.0, title, "start", "heading");
  diagram.write_legend(out, legend_top);
  for (std::size_t pattern = 0; pattern < diagram.patterns().size(); ++pattern)
    diagram.write_pattern(out, pattern, patterns_top + row * static_cast<double>(pattern), true);
  out << "</svg>\n";
  return std::move(out).str();
}

}  // namespace krelvo::cli
