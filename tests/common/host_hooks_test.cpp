#include <gtest/gtest.h>

#include <vector>

#include "automation/host_hooks.hpp"
#include "scoped_environment.hpp"

namespace automation {
namespace {

TEST(HostHooks, MessageBoxReachesTheHostHandlerUntilRestored) {
  std::vector<std::u16string> seen;
  set_message_box_handler([&](const Bstr& text, const Bstr& caption, int32_t style) {
    seen.push_back(caption.str() + u"|" + text.str() + u"|" + (style == kMsgBoxCritical ? u"16" : u"?"));
  });
  message_box(Bstr(u"File not found."), kMsgBoxCritical, Bstr(u"Sorry"));
  set_message_box_handler(nullptr);
  // Outside a graphical session the default box is a line on standard error.
  test_support::ScopedEnvironment display("DISPLAY", nullptr);
  test_support::ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
  testing::internal::CaptureStderr();
  message_box(Bstr(u"line one\r\nline two"), kMsgBoxExclamation, Bstr(u"Drumel"));
  const std::string printed = testing::internal::GetCapturedStderr();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], u"Sorry|File not found.|16");
  EXPECT_EQ(printed, "Drumel: line one\nline two\n");
}

TEST(HostHooks, YieldCallsTheHostHandler) {
  int calls = 0;
  yield_to_host();  // default: nothing happens
  set_yield_handler([&] { ++calls; });
  yield_to_host();
  yield_to_host();
  set_yield_handler(nullptr);
  yield_to_host();
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace automation
