#include "automation/coercion.hpp"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <type_traits>

#include <utility>

namespace automation {
namespace {

std::string quoted(const Bstr& text) { return "\"" + text.to_utf8() + "\""; }

// What a text means as a number: a value, a number too large for a double, or no number.
struct ParsedNumber {
  enum class Kind { kValue, kOutOfRange, kNoNumber } kind = Kind::kNoNumber;
  double value = 0.0;
};

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

ParsedNumber parse_number(std::u16string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  std::string ascii;
  ascii.reserve(text.size());
  for (char16_t c : text) {
    if (c > 0x7F) return {};
    ascii.push_back(static_cast<char>(c));
  }
  std::string_view digits = ascii;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  // from_chars also reads "inf" and "nan", which are no numbers to a host.
  if (digits.empty() || !(std::isdigit(static_cast<unsigned char>(digits.front())) || digits.front() == '.')) return {};
  double value = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (end != digits.data() + digits.size()) return {};
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves the value alone here; strtod tells an underflow (a
    // number, read as zero or a subnormal) from a magnitude too large for a double.
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    value = strtod_l(ascii.c_str(), nullptr, c_locale);
    if (std::isinf(value)) return {ParsedNumber::Kind::kOutOfRange, 0.0};
    return {ParsedNumber::Kind::kValue, value};
  }
  if (error != std::errc()) return {};
  return {ParsedNumber::Kind::kValue, negative ? -value : value};
}

double number_from_text(const Bstr& text, VarType target) {
  const ParsedNumber parsed = parse_number(text.view());
  if (parsed.kind == ParsedNumber::Kind::kNoNumber)
    raise_type_mismatch("Type mismatch: text " + quoted(text) + " is no number (" + type_name(target) + " expected)");
  if (parsed.kind == ParsedNumber::Kind::kOutOfRange)
    raise_overflow("Overflow: " + quoted(text) + " is too large for " + type_name(target));
  return parsed.value;
}

[[noreturn]] void mismatch(const Variant& value, VarType target) {
  raise_type_mismatch("Type mismatch: " + type_name(value.type()) + " where " + type_name(target) + " is expected");
}

template <class Int>
Int integer_from(int64_t value, VarType target) {
  if (!std::in_range<Int>(value))
    raise_overflow("Overflow: " + std::to_string(value) + " does not fit in " + type_name(target));
  return static_cast<Int>(value);
}

template <class Int>
Int integer_from_double(double value, VarType target) {
  const double rounded = std::nearbyint(value);
  if (!std::isfinite(rounded) || rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    raise_overflow(std::string("Overflow: ") + text + " does not fit in " + type_name(target));
  }
  return static_cast<Int>(rounded);
}

template <class Int>
Int to_integer(const Variant& value, VarType target) {
  if (value.is_empty()) return 0;
  if (const auto* held = value.get_if<int16_t>()) return integer_from<Int>(*held, target);
  if (const auto* held = value.get_if<int32_t>()) return integer_from<Int>(*held, target);
  if (const auto* held = value.get_if<VariantBool>()) return integer_from<Int>(held->value, target);
  if (const auto* held = value.get_if<double>()) return integer_from_double<Int>(*held, target);
  if (const auto* held = value.get_if<Bstr>()) return integer_from_double<Int>(number_from_text(*held, target), target);
  mismatch(value, target);
}

double to_double(const Variant& value) {
  if (value.is_empty()) return 0.0;
  if (const auto* held = value.get_if<double>()) return *held;
  if (const auto* held = value.get_if<int16_t>()) return *held;
  if (const auto* held = value.get_if<int32_t>()) return *held;
  if (const auto* held = value.get_if<VariantBool>()) return held->value;
  if (const auto* held = value.get_if<Bstr>()) return number_from_text(*held, VarType::kR8);
  mismatch(value, VarType::kR8);
}

bool same_word(std::u16string_view text, std::u16string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? static_cast<char16_t>(text[i] + 32) : text[i];
    if (c != word[i]) return false;
  }
  return true;
}

VariantBool to_bool(const Variant& value) {
  if (value.is_empty()) return kFalse;
  if (const auto* held = value.get_if<VariantBool>()) return *held;
  if (const auto* held = value.get_if<int16_t>()) return VariantBool::from(*held != 0);
  if (const auto* held = value.get_if<int32_t>()) return VariantBool::from(*held != 0);
  if (const auto* held = value.get_if<double>()) return VariantBool::from(*held != 0.0);
  if (const auto* held = value.get_if<Bstr>()) {
    std::u16string_view text = held->view();
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    if (same_word(text, u"true")) return kTrue;
    if (same_word(text, u"false")) return kFalse;
    return VariantBool::from(number_from_text(*held, VarType::kBool) != 0.0);
  }
  mismatch(value, VarType::kBool);
}

Bstr to_text(const Variant& value) {
  if (value.is_empty()) return Bstr::null();
  if (const auto* held = value.get_if<Bstr>()) return *held;
  if (const auto* held = value.get_if<int16_t>()) return Bstr::from_utf8(std::to_string(*held));
  if (const auto* held = value.get_if<int32_t>()) return Bstr::from_utf8(std::to_string(*held));
  if (const auto* held = value.get_if<double>()) return Bstr(coerced_number_text(*held));
  if (const auto* held = value.get_if<VariantBool>()) return Bstr(*held ? u"True" : u"False");
  mismatch(value, VarType::kBstr);
}

ObjectRef to_object(const Variant& value) {
  if (value.is_empty()) return nullptr;
  if (const auto* held = value.get_if<ObjectRef>()) return *held;
  mismatch(value, VarType::kDispatch);
}

Variant coerce_scalar(const Variant& value, VarType target) {
  switch (target) {
    case VarType::kVariant:
      return value;
    case VarType::kI2:
      return to_integer<int16_t>(value, target);
    case VarType::kI4:
      return to_integer<int32_t>(value, target);
    case VarType::kR8:
      return to_double(value);
    case VarType::kBool:
      return to_bool(value);
    case VarType::kBstr:
      return to_text(value);
    case VarType::kDispatch:
      return to_object(value);
    default:
      mismatch(value, target);
  }
}

template <class To, class From>
SafeArray<To> convert_elements(const SafeArray<From>& source, VarType element) {
  SafeArray<To> result = SafeArray<To>::with_bounds(source.bounds());
  auto out = result.elements();
  auto in = source.elements();
  for (std::size_t i = 0; i < in.size(); ++i) {
    if constexpr (std::is_same_v<To, Variant>)
      out[i] = Variant(in[i]);
    else
      out[i] = coerce_scalar(Variant(in[i]), element).template get<To>();
  }
  return result;
}

template <class From>
Variant convert_array(const SafeArray<From>& source, VarType element) {
  switch (element) {
    case VarType::kI2:
      return convert_elements<int16_t>(source, element);
    case VarType::kI4:
      return convert_elements<int32_t>(source, element);
    case VarType::kR8:
      return convert_elements<double>(source, element);
    case VarType::kBool:
      return convert_elements<VariantBool>(source, element);
    case VarType::kBstr:
      return convert_elements<Bstr>(source, element);
    case VarType::kVariant:
      return convert_elements<Variant>(source, element);
    default:
      raise_type_mismatch("Type mismatch: no arrays of " + type_name(element));
  }
}

template <class T>
constexpr bool is_safe_array = false;
template <class T>
constexpr bool is_safe_array<SafeArray<T>> = true;

Variant coerce_to_array(const Variant& value, VarType target) {
  return std::visit(
      [&](const auto& held) -> Variant {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (is_safe_array<Held>)
          return convert_array(held, element_type(target));
        else
          mismatch(value, target);
      },
      value.storage());
}

}  // namespace

Variant coerce(const Variant& value, VarType target) {
  if (value.type() == target || target == VarType::kVariant) return value;
  if (is_array_type(target)) return coerce_to_array(value, target);
  return coerce_scalar(value, target);
}

Variant coerce(Variant&& value, VarType target) {
  if (value.type() == target || target == VarType::kVariant) return std::move(value);
  return coerce(static_cast<const Variant&>(value), target);
}

std::u16string coerced_number_text(double value) {
  if (value == 0.0) return u"0";  // also -0
  char text[32];
  std::snprintf(text, sizeof text, "%.15G", value);
  return utf8_to_utf16(text);
}

std::string type_name(VarType type) {
  if (is_array_type(type)) return type_name(element_type(type)) + "()";
  switch (type) {
    case VarType::kEmpty:
      return "Empty";
    case VarType::kNull:
      return "Null";
    case VarType::kI2:
      return "Integer";
    case VarType::kI4:
      return "Long";
    case VarType::kR8:
      return "Double";
    case VarType::kBstr:
      return "String";
    case VarType::kDispatch:
      return "Object";
    case VarType::kBool:
      return "Boolean";
    case VarType::kVariant:
      return "Variant";
    default:
      return "type " + std::to_string(static_cast<unsigned>(type));
  }
}

}  // namespace automation
