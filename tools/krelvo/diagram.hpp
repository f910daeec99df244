// The drawing of cutting patterns, shared by the SVG diagram and the HTML
// report so both show the same: each distinct pattern numbered as in the table
// with its count and bar numbers, pieces to scale in their item kind's colour,
// saw cuts, trim and leftover (kept offcut or scrap) where the figures put them.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "plan_summary.hpp"
#include "report.hpp"

namespace krelvo::cli {

class Diagram {
 public:
  // The drawing area for bars of a standalone diagram; the longest stock bar fills it.
  static constexpr double kDrawingWidth = 1000.0;
  static constexpr double kMargin = 10.0;

  // With `headings_inside` the drawing widens to show every heading whole;
  // a host that sets them as its own text keeps the width it asked for.
  explicit Diagram(const Report& report, double drawing_width = kDrawingWidth, bool headings_inside = true);

  const std::vector<PatternGroup>& patterns() const { return patterns_; }
  // Wide enough for the drawing and for every heading and stock label in full.
  double width() const { return width_; }

  // "Pattern 2 ×6 · bars 3–8 · stock 1: 6000 rack · leftover 20 scrap"
  std::string heading(std::size_t pattern) const;
  double pattern_height(bool with_heading) const;
  void write_pattern(std::ostream& out, std::size_t pattern, double top, bool with_heading) const;

  double legend_height() const;
  void write_legend(std::ostream& out, double top) const;

  // CSS for the classes the drawing uses.
  static const char* style();

 private:
  struct LegendEntry {
    std::string css_class;
    std::string fill;
    std::string text;
    std::string title;
    std::size_t item = 0;  // 1-based, 0 for the non-item entries
    double x = 0.0;
    double line = 0.0;
  };

  double x(double units) const { return kMargin + units * pixels_per_unit_; }
  double saw_cut(std::ostream& out, double at, double width, double top, const std::string& title) const;
  // A number under the bar tied to a piece too narrow for any text.
  struct Leader {
    double piece_centre = 0.0;
    std::string number;
  };

  void piece(std::ostream& out, std::size_t item, double at, double top, std::vector<Leader>& leaders) const;
  void write_leaders(std::ostream& out, const std::vector<Leader>& leaders, double bottom) const;
  void leftover(std::ostream& out, const CutBar& bar, double at, double top) const;
  void lay_out_legend();

  const Report& report_;
  std::vector<PatternGroup> patterns_;
  std::vector<std::string> colours_;
  std::vector<LegendEntry> legend_;
  double pixels_per_unit_ = 1.0;
  double drawing_width_;
  double width_;
  double legend_lines_ = 1.0;
};

// Roughly the width of text in the diagrams' 12 px sans-serif font.
double text_width(std::string_view text);

// The text, or its start with "…", whichever fits `width` pixels; empty when not even one character does.
std::string fit_text(std::string_view text, double width);

// Number text for SVG coordinates.
std::string px(double value);

void write_rect(std::ostream& out, const char* css_class, double x, double y, double width, double height,
                const std::string& fill, const std::string& title, const std::string& attributes = {});
void write_text(std::ostream& out, double x, double y, std::string_view content, const char* anchor = "start",
                const char* css_class = nullptr);

}  // namespace krelvo::cli
