// Collects the message boxes shown while it lives, through the host hook.
#pragma once

#include <string>
#include <vector>

#include "automation/host_hooks.hpp"

namespace test_support {

struct ShownBox {
  std::u16string text;
  std::u16string caption;
  int32_t style = 0;
  friend bool operator==(const ShownBox&, const ShownBox&) = default;
};

class CapturedMessageBoxes {
 public:
  CapturedMessageBoxes() {
    automation::set_message_box_handler(
        [this](const automation::Bstr& text, const automation::Bstr& caption, int32_t style) {
          boxes_.push_back({text.str(), caption.str(), style});
        });
  }
  ~CapturedMessageBoxes() { automation::set_message_box_handler(nullptr); }
  CapturedMessageBoxes(const CapturedMessageBoxes&) = delete;
  CapturedMessageBoxes& operator=(const CapturedMessageBoxes&) = delete;

  const std::vector<ShownBox>& boxes() const { return boxes_; }
  void clear() { boxes_.clear(); }

 private:
  std::vector<ShownBox> boxes_;
};

inline void PrintTo(const ShownBox& box, std::ostream* out) {
  *out << "{" << automation::utf16_to_utf8(box.caption) << " | " << automation::utf16_to_utf8(box.text) << " | "
       << box.style << "}";
}

}  // namespace test_support
