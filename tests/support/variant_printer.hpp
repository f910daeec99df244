// Variants in test failures as readable values ("Long 3", "String \"abc\"",
// "Double() (0 to 1) {0, 2.5}") instead of their bytes. GoogleTest finds
// PrintTo by argument-dependent lookup; include this header in every test
// that compares variants, so that each prints them the same way.
#pragma once

#include <ostream>
#include <variant>

#include "automation/coercion.hpp"
#include "automation/variant.hpp"

namespace automation {

void PrintTo(const Variant& value, std::ostream* out);

namespace variant_printing {

inline void print_value(std::ostream& out, const Variant& value) { PrintTo(value, &out); }
inline void print_value(std::ostream& out, VariantBool value) { out << (value ? "True" : "False"); }
inline void print_value(std::ostream& out, const Bstr& text) {
  if (text.is_null())
    out << "null";
  else
    out << '"' << text.to_utf8() << '"';
}
inline void print_value(std::ostream& out, const ObjectRef& object) { out << (object ? "instance" : "Nothing"); }
template <class T>
void print_value(std::ostream& out, const T& number) {
  out << number;
}

inline void print_held(std::ostream&, std::monostate) {}
inline void print_held(std::ostream&, Null) {}
template <class T>
void print_held(std::ostream& out, const SafeArray<T>& array) {
  if (!array.has_array()) {
    out << " (no array)";
    return;
  }
  if (array.dimensions() != 1) {
    out << " (" << array.dimensions() << " dimensions, " << array.size() << " elements)";
    return;
  }
  out << " (" << array.lbound() << " to " << array.ubound() << ") {";
  const char* separator = "";
  for (const T& element : array.elements()) {
    out << separator;
    print_value(out, element);
    separator = ", ";
  }
  out << '}';
}
template <class T>
void print_held(std::ostream& out, const T& value) {
  out << ' ';
  print_value(out, value);
}

}  // namespace variant_printing

inline void PrintTo(const Variant& value, std::ostream* out) {
  const auto precision = out->precision(15);
  *out << type_name(value.type());
  std::visit([out](const auto& held) { variant_printing::print_held(*out, held); }, value.storage());
  out->precision(precision);
}

}  // namespace automation
