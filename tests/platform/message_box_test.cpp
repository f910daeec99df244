#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "automation/host_hooks.hpp"
#include "scoped_environment.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

using test_support::ScopedEnvironment;
using test_support::TemporaryFolder;

// A stand-in zenity that records its arguments one per line, lingers so a
// caller that does not wait would return before "closed" is written, and
// exits with the status the test asks for.
constexpr char kFakeZenity[] = R"(#!/bin/sh
PATH=/usr/bin:/bin
for argument in "$@"; do printf '%s\n' "$argument"; done > "$FAKE_ZENITY_LOG"
sleep 0.2
echo closed >> "$FAKE_ZENITY_LOG"
exit "${FAKE_ZENITY_EXIT:-0}"
)";

class DefaultMessageBox : public testing::Test {
 protected:
  void SetUp() override {
    set_message_box_handler(nullptr);
    std::filesystem::create_directory(folder_ / "bin");
    test_support::write_file(folder_ / "bin" / "zenity", kFakeZenity);
    ::chmod((folder_ / "bin" / "zenity").c_str(), 0755);
  }

  std::string bin_folder() const { return (folder_ / "bin").string(); }
  std::string log_path() const { return (folder_ / "zenity.log").string(); }
  bool dialog_ran() const { return std::filesystem::exists(log_path()); }

  // Runs the box and returns what it printed on standard error.
  std::string show(const Bstr& text, int32_t style, const Bstr& caption) {
    testing::internal::CaptureStderr();
    message_box(text, style, caption);
    return testing::internal::GetCapturedStderr();
  }

  TemporaryFolder folder_;
  ScopedEnvironment log_{"FAKE_ZENITY_LOG", log_path().c_str()};
};

TEST_F(DefaultMessageBox, GraphicalSessionWaitsForZenityGivenTheTextsAsPlainArguments) {
  ScopedEnvironment display("DISPLAY", ":0");
  ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
  ScopedEnvironment path("PATH", (bin_folder() + ":/usr/bin:/bin").c_str());
  const std::string injected = (folder_ / "injected").string();
  const std::u16string text = u"Error 76\r\nPath not found; $(touch " + utf8_to_utf16(injected) + u") `id`";
  const std::string printed = show(Bstr(text), kMsgBoxCritical, Bstr(u"Error \"x\" & <b>"));
  EXPECT_EQ(printed, "");
  EXPECT_EQ(test_support::read_file(log_path()),
            "--error\n--modal\n--no-markup\n--title=Error \"x\" & <b>\n"
            "--text=Error 76\nPath not found; $(touch " +
                injected + ") `id`\nclosed\n");
  EXPECT_FALSE(std::filesystem::exists(injected));
}

TEST_F(DefaultMessageBox, StyleChoosesTheDialogIcon) {
  ScopedEnvironment display("DISPLAY", nullptr);
  ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-0");
  ScopedEnvironment path("PATH", bin_folder().c_str());
  const std::vector<std::pair<int32_t, std::string>> cases = {{kMsgBoxCritical, "--error"},
                                                              {kMsgBoxExclamation, "--warning"},
                                                              {kMsgBoxInformation, "--info"},
                                                              {kMsgBoxNoIcon, "--info"}};
  for (const auto& [style, kind] : cases) {
    EXPECT_EQ(show(Bstr(u"text"), style, Bstr(u"Drumel")), "");
    const std::string log = test_support::read_file(log_path());
    EXPECT_EQ(log.substr(0, log.find('\n')), kind) << "style " << style;
  }
}

TEST_F(DefaultMessageBox, FallsBackToOneLineOnStandardError) {
  struct Case {
    const char* name;
    const char* display;
    bool zenity_on_path;
    const char* zenity_exit;
    bool dialog_tried;
  };
  const std::vector<Case> cases = {
      {"no graphical session", nullptr, true, "0", false},
      {"zenity not installed", ":0", false, "0", false},
      {"zenity cannot reach the display", ":0", true, "1", true},
      {"zenity refuses an option", ":0", true, "255", true},
  };
  for (const Case& c : cases) {
    ScopedEnvironment display("DISPLAY", c.display);
    ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnvironment path("PATH", c.zenity_on_path ? bin_folder().c_str() : folder_.path().c_str());
    ScopedEnvironment exit_status("FAKE_ZENITY_EXIT", c.zenity_exit);
    EXPECT_EQ(show(Bstr(u"line one\r\nline two"), kMsgBoxExclamation, Bstr(u"Drumel")), "Drumel: line one\nline two\n")
        << c.name;
    EXPECT_EQ(dialog_ran(), c.dialog_tried) << c.name;
    std::filesystem::remove(log_path());
  }
}

}  // namespace
}  // namespace automation
