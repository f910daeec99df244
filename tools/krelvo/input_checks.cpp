#include "input_checks.hpp"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <sstream>

#include "automation/error.hpp"
#include "decimal.hpp"

namespace krelvo::cli {

void raise_input_error(std::string_view where, std::string_view problem) {
  std::string message(where);
  message += ": ";
  message += problem;
  automation::raise_invalid_argument(std::move(message));
}

std::string input_name(const std::string& path) { return path == "-" ? "standard input" : path; }

std::string read_input_file(const std::string& path) {
  if (path == "-") {
    std::ostringstream text;
    text << std::cin.rdbuf();
    if (std::cin.bad()) raise_input_error(input_name(path), std::string("cannot read: ") + std::strerror(errno));
    return std::move(text).str();
  }
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) raise_input_error(path, "is a directory, not a file");
  std::ifstream file(path, std::ios::binary);
  if (!file) raise_input_error(path, std::string("cannot open: ") + std::strerror(errno));
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) raise_input_error(path, std::string("cannot read: ") + std::strerror(errno));
  return std::move(text).str();
}

std::string_view trim_blanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool is_valid_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80) {
      ++at;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07u;
    } else {
      return false;
    }
    if (at + length > text.size()) return false;
    for (std::size_t next = 1; next < length; ++next) {
      const auto byte = static_cast<unsigned char>(text[at + next]);
      if ((byte & 0xC0) != 0x80) return false;
      code = (code << 6) | (byte & 0x3Fu);
    }
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are not UTF-8.
    constexpr std::array<uint32_t, 5> kLeast = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    at += length;
  }
  return true;
}

std::string shortened(std::string_view text) {
  constexpr std::size_t kLongest = 40;
  if (text.size() <= kLongest) return std::string(text);
  std::size_t end = kLongest;
  // Never end inside a UTF-8 sequence.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end)) + "…";
}

std::string round_trip_number_text(double value) {
  std::array<char, 32> buffer{};
  // Whole numbers as people write them: 3000000000, not 3e+09.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    std::snprintf(buffer.data(), buffer.size(), "%.0f", value);
    return buffer.data();
  }
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

double token_value(std::string_view token, std::string_view what, std::string_view where) {
  const std::optional<Decimal> decimal = parse_decimal(token);
  if (!decimal) raise_input_error(where, std::string(what) + " \"" + shortened(token) + "\" is not a number");
  if (!token.empty() && token.front() == '+') token.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error == std::errc::result_out_of_range) {
    const int64_t magnitude = decimal->exponent + static_cast<int64_t>(decimal->digits.size());
    raise_input_error(where, std::string(what) + " " + shortened(token) +
                                 (magnitude > 0 ? " is too large" : " is too small"));
  }
  return value;
}

double checked_length(double value, std::string_view where) {
  if (!std::isfinite(value))
    raise_input_error(where, "length " + round_trip_number_text(value) + " is not a finite number");
  if (value <= 0.0)
    raise_input_error(where, "length " + round_trip_number_text(value) + (value < 0.0 ? " is negative" : " is zero"));
  return value;
}

int32_t checked_quantity_text(std::string_view token, std::string_view where) {
  const std::string shown = "quantity " + shortened(token);
  const std::optional<Decimal> quantity = parse_decimal(token);
  if (!quantity) raise_input_error(where, "quantity \"" + shortened(token) + "\" is not a number");
  if (quantity->decimals() > 0) raise_input_error(where, shown + " is not a whole number");
  if (quantity->negative && !quantity->digits.empty()) raise_input_error(where, shown + " is negative");
  const std::optional<int64_t> value = quantity->scaled(0, std::numeric_limits<int32_t>::max());
  if (!value) raise_input_error(where, shown + " is more than 2147483647");
  return static_cast<int32_t>(*value);
}

}  // namespace krelvo::cli
