#include "problem_file.hpp"

#include <algorithm>
#include <cmath>
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

ProblemFile many_kinds(int32_t kinds) {
  ProblemFile problem;
  problem.name = "kinds" + std::to_string(kinds);
  uint32_t state = 12345;
  const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
  for (int32_t kind = 0; kind < kinds; ++kind) {
    problem.item_lengths.push_back(50.0 + static_cast<double>(next() >> 8) / static_cast<double>(1u << 24) * 2500.0);
    problem.item_quantities.push_back(1 + static_cast<int32_t>((next() >> 16) % 4));
  }
  for (double& length : problem.item_lengths) length = std::floor(length);
  std::sort(problem.item_lengths.begin(), problem.item_lengths.end());
  problem.stock_lengths = {6000.0};
  problem.stock_quantities = {0};
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
