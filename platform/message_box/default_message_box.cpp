#include "automation/default_message_box.hpp"

#include <cstdio>
#include <string>
#include <vector>

#include "automation/child_process.hpp"
#include "automation/host_hooks.hpp"

namespace automation {
namespace {

// The box text as plain lines: a CR LF pair is one line break, and a NUL
// could not pass through an argument vector.
std::string plain_text(const Bstr& text) {
  const std::string body = text.to_utf8();
  std::string plain;
  plain.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
    if (body[i] != '\0') plain.push_back(body[i]);
  }
  return plain;
}

const char* dialog_kind(int32_t style) {
  switch (style & 0x70) {
    case kMsgBoxCritical:
      return "--error";
    case kMsgBoxExclamation:
      return "--warning";
    default:
      return "--info";
  }
}

// False unless the dialog was shown and answered with OK, so the caller
// still prints the message: zenity also exits with 1 when it cannot reach
// the display, and a message printed twice beats one lost.
bool show_dialog(const Bstr& text, const Bstr& caption, int32_t style) {
  const auto outcome = run_program({"zenity", dialog_kind(style), "--modal", "--no-markup",
                                    "--title=" + plain_text(caption), "--text=" + plain_text(text)});
  return outcome && outcome->exit_code == 0;
}

}  // namespace

void show_default_message_box(const Bstr& text, const Bstr& caption, int32_t style) {
  if (graphical_session() && show_dialog(text, caption, style)) return;
  std::fprintf(stderr, "%s: %s\n", plain_text(caption).c_str(), plain_text(text).c_str());
}

}  // namespace automation
