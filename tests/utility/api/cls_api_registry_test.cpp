#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/registry.hpp"
#include "automation/registry_key.hpp"
#include "automation/registry_store.hpp"
#include "drumel.hpp"
#include "scoped_config_home.hpp"

extern char** environ;

namespace drumel {
namespace {

using automation::Bstr;
using automation::HKEY;
using automation::testing_support::ScopedConfigHome;
using Bytes = std::vector<uint8_t>;

const auto kCurrentUser = static_cast<int32_t>(automation::HKEY_CURRENT_USER);

class ClsApiRegistry : public testing::Test {
 protected:
  Bstr get(const std::u16string& path, const std::u16string& value) {
    int32_t key = kCurrentUser;
    Bstr path_text(path);
    Bstr value_text(value);
    const automation::Variant result = api_->GetString(key, path_text, value_text);
    EXPECT_TRUE(result.holds<Bstr>()) << "GetString gives a variant holding a string";
    return result.holds<Bstr>() ? result.get<Bstr>() : Bstr::null();
  }
  void save(const std::u16string& path, const std::u16string& value, const std::u16string& data) {
    int32_t key = kCurrentUser;
    Bstr path_text(path);
    Bstr value_text(value);
    Bstr data_text(data);
    api_->SaveString(key, path_text, value_text, data_text);
  }
  // A key opened directly in the store, to plant values of any type.
  automation::RegistryKey planted_key() {
    automation::RegistryKey key;
    EXPECT_EQ(automation::RegCreateKeyA(automation::HKEY_CURRENT_USER, "Software\\Planted", key.receive()), 0);
    return key;
  }

  ScopedConfigHome config_home_;
  std::shared_ptr<clsAPI> api_ = std::make_shared<clsAPI>();
};

TEST_F(ClsApiRegistry, SavedStringsReadBack) {
  const std::u16string texts[] = {u"vrijednost \u010D\u0107\u017E", u"", u"a", std::u16string(300, u'x')};
  for (const std::u16string& text : texts) {
    save(u"Software\\Drumel\\Test", u"Name", text);
    const Bstr read = get(u"Software\\Drumel\\Test", u"Name");
    EXPECT_FALSE(read.is_null());
    EXPECT_EQ(read.str(), text);
  }
}

TEST_F(ClsApiRegistry, ArgumentsComeBackAsTheirAnsiFormReadsBack) {
  int32_t key = kCurrentUser;
  Bstr path(u"Software\\\u4E2D");
  Bstr value(u"Ime \u010D");
  Bstr data(u"x\u4E2Dy");
  api_->SaveString(key, path, value, data);
  EXPECT_EQ(path.str(), u"Software\\?");
  EXPECT_EQ(value.str(), u"Ime \u010D");
  EXPECT_EQ(data.str(), u"x?y");
  EXPECT_EQ(key, kCurrentUser);
  EXPECT_EQ(get(u"Software\\?", u"Ime \u010D").str(), u"x?y");

  Bstr get_path(u"Software\\\u4E2D");
  Bstr get_value(u"Ime \u010D");
  EXPECT_EQ(api_->GetString(key, get_path, get_value).get<Bstr>().str(), u"x?y");
  EXPECT_EQ(get_path.str(), u"Software\\?");
  Bstr null_path = Bstr::null();
  Bstr del_value(u"\u4E2D");
  api_->DelSetting(key, null_path, del_value);
  EXPECT_TRUE(null_path.is_null()) << "a null string stays null";
  EXPECT_EQ(del_value.str(), u"?");
}

TEST_F(ClsApiRegistry, AMissingSubkeyOrValueGivesTheEmptyString) {
  save(u"Software\\Drumel", u"Present", u"yes");
  for (const auto& [path, value] :
       {std::pair{u"Software\\Drumel", u"Absent"}, std::pair{u"Software\\Nowhere", u"Present"}}) {
    const Bstr read = get(path, value);
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(read.is_null());
  }
  HKEY probe = 0;
  EXPECT_EQ(automation::RegOpenKeyA(automation::HKEY_CURRENT_USER, "Software\\Nowhere", &probe),
            automation::ERROR_FILE_NOT_FOUND)
      << "reading creates nothing";
}

TEST_F(ClsApiRegistry, DelSettingDeletesTheValueAndCreatesAMissingSubkeyEmpty) {
  save(u"Software\\Drumel", u"Gone", u"1");
  save(u"Software\\Drumel", u"Kept", u"2");
  int32_t key = kCurrentUser;
  Bstr path(u"Software\\Drumel");
  Bstr value(u"Gone");
  api_->DelSetting(key, path, value);
  EXPECT_TRUE(get(u"Software\\Drumel", u"Gone").empty());
  EXPECT_EQ(get(u"Software\\Drumel", u"Kept").str(), u"2");

  Bstr missing_path(u"Software\\Drumel\\New");
  api_->DelSetting(key, missing_path, value);
  automation::RegistryKey created;
  ASSERT_EQ(automation::RegOpenKeyA(automation::HKEY_CURRENT_USER, "Software\\Drumel\\New", created.receive()),
            automation::ERROR_SUCCESS);
  automation::DWORD size = 0;
  EXPECT_EQ(automation::RegQueryValueExA(created.get(), "Gone", nullptr, nullptr, nullptr, &size),
            automation::ERROR_FILE_NOT_FOUND);
}

TEST_F(ClsApiRegistry, ValuesReadByTheirType) {
  const automation::RegistryKey key = planted_key();
  const std::vector<std::tuple<const char*, automation::DWORD, Bytes, std::u16string>> cases = {
      {"Pair", automation::REG_BINARY, {0x34, 0x12}, u"4660"},
      {"MinusOne", automation::REG_BINARY, {0xFF, 0xFF}, u"-1"},
      {"Smallest", automation::REG_BINARY, {0x00, 0x80}, u"-32768"},
      {"OneByte", automation::REG_BINARY, {0xFF}, u"255"},
      {"Empty", automation::REG_BINARY, {}, u"0"},
      {"Longer", automation::REG_BINARY, {0x01, 0x00, 0x99, 0x99, 0x99}, u"1"},
      {"Number", automation::REG_DWORD, {0x34, 0x12, 0, 0}, u""},
      {"Expand", automation::REG_EXPAND_SZ, {'a', 0}, u""},
      {"Bare", automation::REG_SZ, {'a', 'b', 'c'}, u"abc"},
      {"Ended", automation::REG_SZ, {'a', 'b', 'c', 0}, u"abc"},
      {"Inner", automation::REG_SZ, {'a', 'b', 0, 'c', 'd'}, u"ab"},
      {"Ansi", automation::REG_SZ, {0xE8, 0x9A}, u"\u010D\u0161"},
  };
  for (const auto& [name, type, data, expected] : cases) {
    const auto size = static_cast<automation::DWORD>(data.size());
    ASSERT_EQ(automation::RegSetValueExA(key.get(), name, 0, type, data.data(), size), 0) << name;
  }
  for (const auto& [name, type, data, expected] : cases) {
    const Bstr read = api_->RegQueryStringValue(static_cast<int32_t>(key.get()), Bstr::from_utf8(name));
    EXPECT_EQ(read.str(), expected) << name;
  }
  EXPECT_EQ(api_->RegQueryStringValue(static_cast<int32_t>(key.get()), Bstr(u"Missing")).str(), u"");
}

TEST_F(ClsApiRegistry, InvalidHandlesGiveEmptyResultsAndStoreNothing) {
  const automation::RegistryKey planted = planted_key();
  const int32_t closed = [] {
    HKEY handle = 0;
    automation::RegCreateKeyA(automation::HKEY_CURRENT_USER, "Software", &handle);
    automation::RegCloseKey(handle);
    return static_cast<int32_t>(handle);
  }();
  for (int32_t handle : {int32_t{0}, int32_t{12345}, int32_t{-1}, closed}) {
    EXPECT_EQ(api_->RegQueryStringValue(handle, Bstr(u"x")).str(), u"") << handle;
    Bstr path(u"Software\\Planted");
    Bstr value(u"x");
    Bstr data(u"stored?");
    api_->SaveString(handle, path, value, data);
    api_->DelSetting(handle, path, value);
    EXPECT_EQ(api_->GetString(handle, path, value).get<Bstr>().str(), u"") << handle;
  }
  automation::DWORD size = 0;
  EXPECT_EQ(automation::RegQueryValueExA(planted.get(), "x", nullptr, nullptr, nullptr, &size),
            automation::ERROR_FILE_NOT_FOUND);
}

TEST_F(ClsApiRegistry, EveryMethodClosesWhatItOpens) {
  const std::size_t before = automation::registry_open_key_count();
  save(u"Software\\Drumel", u"Value", u"1");
  get(u"Software\\Drumel", u"Value");
  get(u"Software\\Nowhere", u"Value");
  int32_t key = kCurrentUser;
  Bstr path(u"Software\\Drumel");
  Bstr value(u"Value");
  api_->DelSetting(key, path, value);
  Bstr bad_path(u"\\leading");
  api_->SaveString(key, bad_path, value, value);
  EXPECT_EQ(automation::registry_open_key_count(), before);
}

pid_t start_writer(const char* prefix, const char* count) {
  std::vector<char*> arguments{const_cast<char*>(API_SAVE_WRITER), const_cast<char*>(prefix), const_cast<char*>(count),
                               nullptr};
  pid_t child = 0;
  EXPECT_EQ(posix_spawn(&child, API_SAVE_WRITER, nullptr, nullptr, arguments.data(), environ), 0);
  return child;
}

TEST_F(ClsApiRegistry, TwoProcessesSavingAtOnceLoseNothing) {
  constexpr int kValuesEach = 100;
  const std::string count = std::to_string(kValuesEach);
  const pid_t children[] = {start_writer("left", count.c_str()), start_writer("right", count.c_str())};
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (const std::u16string prefix : {u"left", u"right"})
    for (int i = 0; i < kValuesEach; ++i) {
      const std::u16string name = prefix + Bstr::from_utf8(std::to_string(i)).str();
      ASSERT_EQ(get(u"Software\\Race", name).str(), name);
    }
}

}  // namespace
}  // namespace drumel
