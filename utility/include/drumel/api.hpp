#pragma once

#define DRUMEL_API __attribute__((visibility("default")))

namespace drumel {

// Caption of a message box that has none of its own.
inline constexpr char16_t kLibraryTitle[] = u"Drumel";

}  // namespace drumel
