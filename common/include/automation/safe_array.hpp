// A bounded array: it keeps the bounds it was given (any lower bound), is
// copied deeply on assignment, and answers an index outside its bounds with
// the subscript-out-of-range error. "No array at all" is a value of its own.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "automation/error.hpp"

namespace automation {

struct ArrayBound {
  int32_t lbound = 0;
  int64_t count = 0;  // elements in this dimension; ubound = lbound + count - 1
};

template <class T>
class SafeArray {
 public:
  SafeArray() = default;  // holds no array

  // One dimension, lbound..ubound, elements value-initialised; ubound = lbound - 1 is empty.
  SafeArray(int32_t lbound, int32_t ubound) {
    const int64_t count = int64_t{ubound} - lbound + 1;
    if (count < 0) raise_subscript_out_of_range();
    bounds_.push_back({lbound, count});
    elements_.resize(static_cast<std::size_t>(count));
  }

  SafeArray(int32_t lbound, std::vector<T> values) : elements_(std::move(values)) {
    bounds_.push_back({lbound, static_cast<int64_t>(elements_.size())});
  }

  SafeArray(int32_t lbound, std::initializer_list<T> values) : SafeArray(lbound, std::vector<T>(values)) {}

  // Several dimensions (row-major storage); hosts may pass such arrays, and
  // single-index access to them fails.
  static SafeArray with_bounds(std::vector<ArrayBound> bounds) {
    SafeArray array;
    int64_t total = bounds.empty() ? 0 : 1;
    for (const ArrayBound& bound : bounds) total *= bound.count;
    array.bounds_ = std::move(bounds);
    array.elements_.resize(static_cast<std::size_t>(total));
    return array;
  }

  bool has_array() const noexcept { return !bounds_.empty(); }
  uint32_t dimensions() const noexcept { return static_cast<uint32_t>(bounds_.size()); }
  const std::vector<ArrayBound>& bounds() const noexcept { return bounds_; }
  int32_t lbound() const {
    require_one_dimension();
    return bounds_[0].lbound;
  }
  int32_t ubound() const {
    require_one_dimension();
    return static_cast<int32_t>(bounds_[0].lbound + bounds_[0].count - 1);
  }
  std::size_t size() const noexcept { return elements_.size(); }

  bool contains(int64_t index) const noexcept {
    return bounds_.size() == 1 && index >= bounds_[0].lbound && index < bounds_[0].lbound + bounds_[0].count;
  }

  T& at(int64_t index) {
    if (!contains(index)) raise_subscript_out_of_range();
    return elements_[static_cast<std::size_t>(index - bounds_[0].lbound)];
  }
  const T& at(int64_t index) const {
    if (!contains(index)) raise_subscript_out_of_range();
    return elements_[static_cast<std::size_t>(index - bounds_[0].lbound)];
  }
  T& operator[](int64_t index) { return at(index); }
  const T& operator[](int64_t index) const { return at(index); }

  // Flat storage, for fast loops that have checked the bounds once.
  std::span<T> elements() noexcept { return elements_; }
  std::span<const T> elements() const noexcept { return elements_; }

  // Extend or shrink the one dimension, keeping the lower bound and the elements that stay.
  void redim_preserve(int32_t ubound) {
    require_one_dimension();
    const int64_t count = int64_t{ubound} - bounds_[0].lbound + 1;
    if (count < 0) raise_subscript_out_of_range();
    elements_.resize(static_cast<std::size_t>(count));
    bounds_[0].count = count;
  }

  friend bool operator==(const SafeArray& a, const SafeArray& b) {
    if (a.bounds_.size() != b.bounds_.size()) return false;
    for (std::size_t d = 0; d < a.bounds_.size(); ++d)
      if (a.bounds_[d].lbound != b.bounds_[d].lbound || a.bounds_[d].count != b.bounds_[d].count) return false;
    return a.elements_ == b.elements_;
  }

 private:
  void require_one_dimension() const {
    if (bounds_.size() != 1) raise_subscript_out_of_range();
  }

  std::vector<ArrayBound> bounds_;
  std::vector<T> elements_;
};

}  // namespace automation
