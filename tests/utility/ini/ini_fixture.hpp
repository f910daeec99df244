// A clsINI, a fresh folder with one INI file in it, and the message boxes
// the calls show.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "automation/host_hooks.hpp"
#include "drumel/clsINI.hpp"
#include "temporary_folder.hpp"

namespace drumel {

struct ShownBox {
  std::u16string text;
  std::u16string caption;
  int32_t style = 0;
};

class IniTest : public testing::Test {
 protected:
  void SetUp() override {
    automation::set_message_box_handler(
        [this](const automation::Bstr& text, const automation::Bstr& caption, int32_t style) {
          boxes_.push_back({text.str(), caption.str(), style});
        });
  }
  void TearDown() override { automation::set_message_box_handler(nullptr); }

  // The file's bytes (ANSI) and its path as clsINI takes it.
  automation::Bstr ini_file(const std::string& bytes, const std::string& name = "settings.ini") {
    test_support::write_file(folder_.file(name), bytes);
    return automation::Bstr::from_utf8(folder_.file(name));
  }
  std::string content(const std::string& name = "settings.ini") const {
    return test_support::read_file(folder_.file(name));
  }

  automation::Bstr get(const automation::Bstr& path, const automation::Bstr& section, const automation::Bstr& key,
                       automation::Bstr default_text = automation::Bstr(u"")) {
    return ini_->GetKeyVal(section, key, default_text, path);
  }

  test_support::TemporaryFolder folder_;
  std::shared_ptr<clsINI> ini_ = std::make_shared<clsINI>();
  std::vector<ShownBox> boxes_;
};

}  // namespace drumel
