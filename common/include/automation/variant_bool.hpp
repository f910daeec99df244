// The 16-bit automation boolean: true is -1, and any non-zero value reads as true.
#pragma once

#include <cstdint>

namespace automation {

struct VariantBool {
  int16_t value = 0;

  constexpr VariantBool() = default;
  constexpr explicit VariantBool(int16_t raw) : value(raw) {}
  static constexpr VariantBool from(bool flag) { return VariantBool(flag ? int16_t{-1} : int16_t{0}); }

  constexpr explicit operator bool() const { return value != 0; }
  friend constexpr bool operator==(VariantBool a, VariantBool b) { return a.value == b.value; }
};

inline constexpr VariantBool kTrue{int16_t{-1}};
inline constexpr VariantBool kFalse{int16_t{0}};

}  // namespace automation
