// Checks shared by the input readers: every input error is one line that
// names where it is (file, line or entry) and what is wrong.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace krelvo::cli {

// Raises the automation error that main reports as an input error.
[[noreturn]] void raise_input_error(std::string_view where, std::string_view problem);

// The whole file, or standard input for "-"; a missing or unreadable file is
// an input error.
std::string read_input_file(const std::string& path);
// How messages name an input: the path, or "standard input" for "-".
std::string input_name(const std::string& path);

// The text without blanks (spaces, tabs) at either end.
std::string_view trim_blanks(std::string_view text);

// The value of a number token (parse_decimal syntax); one beyond the range
// of doubles is an input error naming `what` ("length").
double token_value(std::string_view token, std::string_view what, std::string_view where);

// A length: a finite number greater than 0.
double checked_length(double value, std::string_view where);
// A quantity: a whole number from 0 to 2147483647, read exactly from its text, so 2147483648.0 or 1e10 never round into range.
int32_t checked_quantity_text(std::string_view token, std::string_view where);

// Labels reach JSON and SVG output, which must be well-formed UTF-8.
bool is_valid_utf8(std::string_view text);

// The text cut to a length a message can show: a 400-digit number helps nobody.
std::string shortened(std::string_view text);

// Shortest text that reads back as the value, for messages.
std::string round_trip_number_text(double value);

}  // namespace krelvo::cli
