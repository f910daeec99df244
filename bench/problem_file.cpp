#include "problem_file.hpp"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace krelvo::bench {
namespace {

template <class T>
SafeArray<T> with_element_zero(const std::vector<T>& values) {
  std::vector<T> elements{T{}};
  elements.insert(elements.end(), values.begin(), values.end());
  return SafeArray<T>(0, std::move(elements));
}

}  // namespace

ProblemFile read_problem_file(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error(path + ": cannot open");
  ProblemFile problem;
  problem.name = std::filesystem::path(path).stem().string();
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::string kind;
    if (!(fields >> kind)) continue;
    double length = 0;
    int32_t quantity = 0;
    if (!(fields >> length >> quantity) || (kind != "item" && kind != "stock"))
      throw std::runtime_error(path + ":" + std::to_string(number) + ": expected 'item|stock <length> <quantity>'");
    auto& lengths = kind == "item" ? problem.item_lengths : problem.stock_lengths;
    auto& quantities = kind == "item" ? problem.item_quantities : problem.stock_quantities;
    lengths.push_back(length);
    quantities.push_back(quantity);
  }
  return problem;
}

void describe_problem(clsOptimizacija& optimizer, const ProblemFile& problem) {
  optimizer.put_nitem(static_cast<int32_t>(problem.item_lengths.size()));
  optimizer.put_nsource(static_cast<int32_t>(problem.stock_lengths.size()));
  optimizer.put_litem(with_element_zero(problem.item_lengths));
  optimizer.put_mitem(with_element_zero(problem.item_quantities));
  optimizer.put_lsource(with_element_zero(problem.stock_lengths));
  optimizer.put_msource(with_element_zero(problem.stock_quantities));
}

}  // namespace krelvo::bench
