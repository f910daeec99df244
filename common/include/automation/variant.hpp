// The tagged automation value: empty, null, numbers, boolean, string, bounded
// arrays and an object reference. Copies are deep, like every automation value.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>

#include "automation/bstr.hpp"
#include "automation/error.hpp"
#include "automation/safe_array.hpp"
#include "automation/variant_bool.hpp"

namespace automation {

class Object;  // a late-bound component object (platform/runtime)
using ObjectRef = std::shared_ptr<Object>;

// Automation type numbers; an array type is kArray | element type.
enum class VarType : uint16_t {
  kEmpty = 0,
  kNull = 1,
  kI2 = 2,
  kI4 = 3,
  kR8 = 5,
  kBstr = 8,
  kDispatch = 9,
  kBool = 11,
  kVariant = 12,
  kArray = 0x2000,
};

constexpr VarType array_of(VarType element) {
  return static_cast<VarType>(static_cast<uint16_t>(VarType::kArray) | static_cast<uint16_t>(element));
}
constexpr bool is_array_type(VarType type) {
  return (static_cast<uint16_t>(type) & static_cast<uint16_t>(VarType::kArray)) != 0;
}
constexpr VarType element_type(VarType type) {
  return static_cast<VarType>(static_cast<uint16_t>(type) & ~static_cast<uint16_t>(VarType::kArray));
}

struct Null {
  friend bool operator==(Null, Null) { return true; }
};

class Variant {
 public:
  using Storage =
      std::variant<std::monostate, Null, int16_t, int32_t, double, VariantBool, Bstr, ObjectRef, SafeArray<int16_t>,
                   SafeArray<int32_t>, SafeArray<double>, SafeArray<VariantBool>, SafeArray<Bstr>, SafeArray<Variant>>;

  Variant() = default;  // empty
  Variant(Null) : value_(Null{}) {}
  Variant(int16_t value) : value_(value) {}
  Variant(int32_t value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(VariantBool value) : value_(value) {}
  Variant(Bstr value) : value_(std::move(value)) {}
  Variant(const char16_t* value) : value_(Bstr(value)) {}
  Variant(ObjectRef value) : value_(std::move(value)) {}
  Variant(SafeArray<int16_t> value) : value_(std::move(value)) {}
  Variant(SafeArray<int32_t> value) : value_(std::move(value)) {}
  Variant(SafeArray<double> value) : value_(std::move(value)) {}
  Variant(SafeArray<VariantBool> value) : value_(std::move(value)) {}
  Variant(SafeArray<Bstr> value) : value_(std::move(value)) {}
  Variant(SafeArray<Variant> value) : value_(std::move(value)) {}

  VarType type() const noexcept {
    static constexpr VarType kTypes[] = {VarType::kEmpty,
                                         VarType::kNull,
                                         VarType::kI2,
                                         VarType::kI4,
                                         VarType::kR8,
                                         VarType::kBool,
                                         VarType::kBstr,
                                         VarType::kDispatch,
                                         array_of(VarType::kI2),
                                         array_of(VarType::kI4),
                                         array_of(VarType::kR8),
                                         array_of(VarType::kBool),
                                         array_of(VarType::kBstr),
                                         array_of(VarType::kVariant)};
    return kTypes[value_.index()];
  }
  bool is_empty() const noexcept { return value_.index() == 0; }
  bool is_null() const noexcept { return std::holds_alternative<Null>(value_); }

  template <class T>
  bool holds() const noexcept {
    return std::holds_alternative<T>(value_);
  }
  // The held value of exactly this type; any other type is the type-mismatch error.
  template <class T>
  const T& get() const {
    if (const T* held = std::get_if<T>(&value_)) return *held;
    raise_type_mismatch();
  }
  template <class T>
  T& get() {
    if (T* held = std::get_if<T>(&value_)) return *held;
    raise_type_mismatch();
  }
  template <class T>
  const T* get_if() const noexcept {
    return std::get_if<T>(&value_);
  }

  const Storage& storage() const noexcept { return value_; }
  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  Storage value_;
};

}  // namespace automation
