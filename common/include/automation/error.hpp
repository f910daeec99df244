// The one exception type of both libraries: an automation runtime error with
// its number, description and source, as hosts receive it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace automation {

// Automation runtime error numbers; hosts know them.
inline constexpr int32_t kErrInvalidProcedureCall = 5;
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrOutOfMemory = 7;
inline constexpr int32_t kErrSubscriptOutOfRange = 9;
inline constexpr int32_t kErrDivisionByZero = 11;
inline constexpr int32_t kErrTypeMismatch = 13;
// File errors.
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrDeviceIoError = 57;
inline constexpr int32_t kErrPermissionDenied = 70;
inline constexpr int32_t kErrPathFileAccessError = 75;
inline constexpr int32_t kErrPathNotFound = 76;

class AutomationError : public std::runtime_error {
 public:
  AutomationError(int32_t number, std::string description, std::string source = {})
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        source_(std::move(source)) {}

  int32_t number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }
  const std::string& source() const noexcept { return source_; }
  // The component boundary names the library when the raiser did not.
  void set_source(std::string source) { source_ = std::move(source); }

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
};

// Raises exactly this description; only the named helpers below fill in a standard text.
[[noreturn]] inline void raise_error(int32_t number, std::string description, std::string source = {}) {
  throw AutomationError(number, std::move(description), std::move(source));
}

[[noreturn]] inline void raise_invalid_argument(std::string description = {}) {
  raise_error(kErrInvalidProcedureCall,
              description.empty() ? "Invalid procedure call or argument" : std::move(description));
}

[[noreturn]] inline void raise_overflow(std::string description = {}) {
  raise_error(kErrOverflow, description.empty() ? "Overflow" : std::move(description));
}

[[noreturn]] inline void raise_out_of_memory(std::string description = {}) {
  raise_error(kErrOutOfMemory, description.empty() ? "Out of memory" : std::move(description));
}

[[noreturn]] inline void raise_subscript_out_of_range(std::string description = {}) {
  raise_error(kErrSubscriptOutOfRange, description.empty() ? "Subscript out of range" : std::move(description));
}

[[noreturn]] inline void raise_division_by_zero(std::string description = {}) {
  raise_error(kErrDivisionByZero, description.empty() ? "Division by zero" : std::move(description));
}

[[noreturn]] inline void raise_type_mismatch(std::string description = {}) {
  raise_error(kErrTypeMismatch, description.empty() ? "Type mismatch" : std::move(description));
}

[[noreturn]] inline void raise_file_not_found(std::string description = {}) {
  raise_error(kErrFileNotFound, description.empty() ? "File not found" : std::move(description));
}

[[noreturn]] inline void raise_device_io_error(std::string description = {}) {
  raise_error(kErrDeviceIoError, description.empty() ? "Device I/O error" : std::move(description));
}

[[noreturn]] inline void raise_permission_denied(std::string description = {}) {
  raise_error(kErrPermissionDenied, description.empty() ? "Permission denied" : std::move(description));
}

[[noreturn]] inline void raise_path_file_access_error(std::string description = {}) {
  raise_error(kErrPathFileAccessError, description.empty() ? "Path/File access error" : std::move(description));
}

[[noreturn]] inline void raise_path_not_found(std::string description = {}) {
  raise_error(kErrPathNotFound, description.empty() ? "Path not found" : std::move(description));
}

}  // namespace automation
