// A small C++ host: describes a door-frame cutting job, runs the level
// standardna with the repeatable seed and prints the plan bar by bar.
#include <unistd.h>
#include <cstdio>
#include <exception>
#include <vector>

#include "automation/error.hpp"
#include "krelvo.hpp"

namespace {

struct Piece {
  double length;
  int32_t quantity;
};
struct Stock {
  double length;
  int32_t quantity;  // 0: unlimited
};

// Item kinds in ascending length: both phases of bar filling prefer the
// highest kind, so the longest pieces go first.
const std::vector<Piece> kPieces = {{450, 12}, {780, 8}, {1200, 10}, {2050, 14}, {2150, 6}};
// Two offcuts left from an earlier job, then full bars from the rack.
const std::vector<Stock> kStock = {{3500, 2}, {6000, 0}};

template <class T, class Field>
krelvo::SafeArray<T> array_from(const std::vector<auto>& rows, Field field) {
  std::vector<T> values{T{}};  // element 0 is no kind
  for (const auto& row : rows) values.push_back(row.*field);
  return krelvo::SafeArray<T>(0, std::move(values));
}

// The stock kind of bar b follows from the consumption order.
std::size_t stock_kind_of_bar(int32_t bar) {
  int32_t first_bar = 1;
  for (std::size_t kind = 0; kind < kStock.size(); ++kind) {
    if (kStock[kind].quantity <= 0 || bar < first_bar + kStock[kind].quantity) return kind;
    first_bar += kStock[kind].quantity;
  }
  return kStock.size() - 1;
}

}  // namespace

int main() {
  try {
    const auto optimizer = krelvo::clsOptimizacija::create();
    optimizer->put_nitem(static_cast<int32_t>(kPieces.size()));
    optimizer->put_nsource(static_cast<int32_t>(kStock.size()));
    optimizer->put_litem(array_from<double>(kPieces, &Piece::length));
    optimizer->put_mitem(array_from<int32_t>(kPieces, &Piece::quantity));
    optimizer->put_lsource(array_from<double>(kStock, &Stock::length));
    optimizer->put_msource(array_from<int32_t>(kStock, &Stock::quantity));
    optimizer->put_razina(krelvo::standardna);
    optimizer->put_randomiziraj(krelvo::VariantBool::from(false));
    const bool terminal = isatty(STDERR_FILENO) != 0;
    optimizer->connect_ProgressUpdate([&] {
      if (terminal) std::fprintf(stderr, "\rsearching: %3d%%", optimizer->get_progress());
    });
    optimizer->pokreni();
    if (terminal) std::fprintf(stderr, "\n");

    const krelvo::Variant plan = optimizer->get_rezanje();
    const auto& bars = plan.get<krelvo::SafeArray<krelvo::Variant>>();
    for (int32_t bar = 1; bar <= bars.ubound(); ++bar) {
      const Stock& stock = kStock[stock_kind_of_bar(bar)];
      const auto& counts = bars.at(bar).get<krelvo::SafeArray<int32_t>>();
      std::printf("bar %2d  stock %4.0f:", bar, stock.length);
      double used = 0;
      for (int32_t item = 1; item <= counts.ubound(); ++item) {
        const int32_t count = counts.at(item);
        if (count == 0) continue;
        const double length = kPieces[static_cast<std::size_t>(item - 1)].length;
        std::printf("  %d x %.0f", count, length);
        used += count * length;
      }
      std::printf("   (left %.0f)\n", stock.length - used);
    }
    std::printf("waste: %.0f (the rest of the last bar is kept)\n", optimizer->get_otpad());
    std::printf("bars: %d\n", optimizer->get_brsipka());
    return 0;
  } catch (const automation::AutomationError& error) {
    std::fprintf(stderr, "error %d: %s\n", error.number(), error.description().c_str());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return 1;
  }
}
