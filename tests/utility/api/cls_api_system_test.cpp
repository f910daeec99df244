#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "automation/folder_browser.hpp"
#include "automation/host_hooks.hpp"
#include "automation/system_services.hpp"
#include "drumel.hpp"
#include "fake_program.hpp"
#include "scoped_config_home.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::OSVERSIONINFOA;
using automation::testing_support::FakeProgram;
using automation::testing_support::ScopedEnvironmentVariable;
using automation::testing_support::TemporaryFolder;

struct ShownBox {
  std::u16string text;
  std::u16string caption;
  int32_t style;
};

class ClsApiSystem : public testing::Test {
 protected:
  ~ClsApiSystem() override {
    automation::set_version_source(nullptr);
    automation::set_folder_picker_handler(nullptr);
    automation::set_message_box_handler(nullptr);
  }
  void capture_boxes() {
    automation::set_message_box_handler([this](const Bstr& text, const Bstr& caption, int32_t style) {
      boxes_.push_back({text.str(), caption.str(), style});
    });
  }
  std::shared_ptr<clsAPI> api_ = std::make_shared<clsAPI>();
  std::vector<ShownBox> boxes_;
};

struct VersionCase {
  automation::DWORD major, minor, build, platform;
  std::u16string plat, ver, build_text;
};

TEST_F(ClsApiSystem, OSVerzijaWritesPlatformVersionAndBuildWithTheSignPosition) {
  const std::vector<VersionCase> cases = {
      {5, 1, 2600, automation::VER_PLATFORM_WIN32_NT, u"Windows NT", u" 5.1", u" 2600"},
      {4, 10, 67766222, automation::VER_PLATFORM_WIN32_WINDOWS, u"Windows 95/98/Me", u" 4.10", u" 67766222"},
      {3, 10, 0, automation::VER_PLATFORM_WIN32s, u"Windows 32s", u" 3.10", u" 0"},
      {6, 1, static_cast<automation::DWORD>(-5), automation::VER_PLATFORM_LINUX, u"", u" 6.1", u"-5"},
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 3, u"", u"-1.-1", u"-2147483648"},
  };
  for (const VersionCase& version : cases) {
    automation::set_version_source([&version](OSVERSIONINFOA& record) {
      record.dwMajorVersion = version.major;
      record.dwMinorVersion = version.minor;
      record.dwBuildNumber = version.build;
      record.dwPlatformId = version.platform;
      return true;
    });
    Bstr plat(u"old");
    Bstr ver;
    Bstr build;
    api_->OSVerzija(plat, ver, build);
    EXPECT_EQ(plat.str(), version.plat) << version.major;
    EXPECT_FALSE(plat.is_null());
    EXPECT_EQ(ver.str(), version.ver) << version.major;
    EXPECT_EQ(build.str(), version.build_text) << version.major;
  }
}

TEST_F(ClsApiSystem, OSVerzijaShowsABoxAndLeavesTheArgumentsWhenTheVersionIsUnavailable) {
  capture_boxes();
  automation::set_version_source([](OSVERSIONINFOA&) { return false; });
  Bstr plat(u"p");
  Bstr ver = Bstr::null();
  Bstr build(u"b");
  api_->OSVerzija(plat, ver, build);
  EXPECT_EQ(plat.str(), u"p");
  EXPECT_TRUE(ver.is_null());
  EXPECT_EQ(build.str(), u"b");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, u"Error Getting Version Information");
  EXPECT_EQ(boxes_[0].caption, u"Drumel");
  EXPECT_EQ(boxes_[0].style, automation::kMsgBoxNoIcon);
}

TEST_F(ClsApiSystem, OSVerzijaOnThisKernel) {
  Bstr plat(u"p");
  Bstr ver;
  Bstr build;
  api_->OSVerzija(plat, ver, build);
  EXPECT_EQ(plat.str(), u"") << "Linux is none of the three platforms";
  EXPECT_TRUE(std::regex_match(ver.to_utf8(), std::regex(" [0-9]+\\.[0-9]+"))) << ver.to_utf8();
  EXPECT_TRUE(std::regex_match(build.to_utf8(), std::regex(" [0-9]+"))) << build.to_utf8();
}

TEST_F(ClsApiSystem, DOSStazaGivesAnExistingPathThatFitsTheRoom) {
  const TemporaryFolder folder;
  const std::string base = folder.path().string();
  // Paths of exactly 163 and 164 characters: the room of 164 holds the first
  // with its NUL, not the second.
  const std::string fits = base + "/" + std::string(162 - base.size(), 'f');
  const std::string too_long = base + "/" + std::string(163 - base.size(), 'g');
  ASSERT_EQ(fits.size(), 163u);
  for (const std::string& path : {fits, too_long, base + "/\u010D"}) std::ofstream(path) << "x";

  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {Bstr::from_utf8(base).str(), Bstr::from_utf8(base).str()},
      {Bstr::from_utf8(fits).str(), Bstr::from_utf8(fits).str()},
      {Bstr::from_utf8(too_long).str(), u""},
      {Bstr::from_utf8(base + "/\u010D").str(), Bstr::from_utf8(base + "/\u010D").str()},
      {Bstr::from_utf8(base + "/missing").str(), u""},
      {u"", u""},
  };
  for (const auto& [path, expected] : cases) {
    Bstr argument(path);
    EXPECT_EQ(api_->DOSStaza(argument).str(), expected) << argument.to_utf8();
    EXPECT_EQ(argument.str(), path);
  }
  Bstr outside(Bstr::from_utf8(base).str() + u"/\u4E2D");
  std::ofstream(base + "/\u4E2D") << "x";
  EXPECT_EQ(api_->DOSStaza(outside).str(), u"") << "the path the platform sees has a '?'";
  EXPECT_EQ(outside.str(), Bstr::from_utf8(base).str() + u"/?");
  Bstr null_path = Bstr::null();
  EXPECT_EQ(api_->DOSStaza(null_path).str(), u"");
}

TEST_F(ClsApiSystem, GetFolderNameGivesWhatTheHostPicked) {
  const std::vector<std::pair<std::optional<std::string>, std::u16string>> cases = {
      {"/home/korisnik/Dokumenti", u"/home/korisnik/Dokumenti"},
      {"/home/\u010Da\u0161a", u"/home/\u010Da\u0161a"},
      {std::nullopt, u""},
      {"/home/\u4E2D", u""},
      {"/" + std::string(300, 'x'), u""},
  };
  for (const auto& [picked, expected] : cases) {
    int calls = 0;
    automation::set_folder_picker_handler([&] {
      ++calls;
      return picked;
    });
    const Bstr name = api_->GetFolderName();
    EXPECT_EQ(name.str(), expected) << picked.value_or("(cancel)");
    EXPECT_FALSE(name.is_null());
    EXPECT_EQ(calls, 1);
  }
}

TEST_F(ClsApiSystem, ScreenSaverAktivanSwitchesThroughXset) {
  const ScopedEnvironmentVariable display("DISPLAY", ":99");
  const FakeProgram xset("xset", 0);
  for (const automation::VariantBool flag : {automation::kTrue, automation::kFalse, automation::VariantBool(1)}) {
    automation::VariantBool argument = flag;
    EXPECT_EQ(api_->ScreenSaverAktivan(argument), 1);
    EXPECT_EQ(argument, flag) << "not changed";
  }
  EXPECT_EQ(xset.calls(), "s on\ns off\ns on\n");
}

TEST_F(ClsApiSystem, ScreenSaverAktivanIsRefusedWithoutADisplay) {
  const FakeProgram xset("xset", 0);
  const ScopedEnvironmentVariable display("DISPLAY", std::nullopt);
  automation::VariantBool on = automation::kTrue;
  EXPECT_EQ(api_->ScreenSaverAktivan(on), 0);
  EXPECT_EQ(on, automation::kTrue);
  EXPECT_EQ(xset.calls(), "");
}

TEST_F(ClsApiSystem, SystemFolders) {
  EXPECT_EQ(api_->GetWindowsDir().str(), u"/etc");
  EXPECT_EQ(api_->GetSystemDir().str(), u"/usr/lib");
}

}  // namespace
}  // namespace drumel
