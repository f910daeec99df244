#include <gtest/gtest.h>
#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "automation/bstr.hpp"
#include "automation/locale_number.hpp"
#include "temporary_folder.hpp"

namespace automation {
namespace {

struct NumberCase {
  std::u16string text;
  std::optional<double> number;
};

void expect_numbers(const std::vector<NumberCase>& cases, const char* locale_name) {
  for (const NumberCase& number_case : cases) {
    const auto number = locale_text_to_double(number_case.text);
    EXPECT_EQ(number, number_case.number) << locale_name << ": \"" << utf16_to_utf8(number_case.text) << "\"";
  }
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(LocaleNumber, CLocaleTakesPointAndNoThousandsSeparator) {
  expect_numbers(
      {{u"12", 12},    {u" \t12 ", 12}, {u"-3.5", -3.5}, {u"+7", 7},     {u".5", 0.5},          {u"5.", 5},
       {u"1e3", 1000}, {u"1E-2", 0.01}, {u"2.5e+1", 25}, {u"007", 7},    {u"1e400", kInfinity}, {u"-1e400", -kInfinity},
       {u"1e-400", 0}, {u"", {}},       {u"  ", {}},     {u"abc", {}},   {u"1,000", {}},        {u"1e", {}},
       {u"1e+", {}},   {u"--1", {}},    {u"1 2", {}},    {u"0x10", {}},  {u"inf", {}},          {u"nan", {}},
       {u"1.2.3", {}}, {u".", {}},      {u"-", {}},      {u"12abc", {}}, {u"\uFF11", {}},       {u"e5", {}},
       {u"- 1", {}}},
      "C");
}

// glibc keeps the LOCPATH search list in memory it never frees; that one
// allocation is the C library's, not ours.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:__argz_add_sep\n";
}

// Locales built from the C library's sources into a test folder, so the test
// does not depend on which locales the machine has installed.
class LocaleNumberIn : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test_support::TemporaryFolder();
    ::setenv("LOCPATH", folder_->path().c_str(), 1);
  }
  static void TearDownTestSuite() {
    ::unsetenv("LOCPATH");
    delete folder_;
  }

  // Switches this thread's number format to the locale (e.g. "de_DE"), built
  // first; false when it cannot be built here.
  static bool use(const std::string& name) {
    const std::string command =
        "localedef -i " + name + " -f UTF-8 " + folder_->file(name + ".UTF-8") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    const locale_t locale = newlocale(LC_NUMERIC_MASK, (name + ".UTF-8").c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return false;
    uselocale(locale);
    return true;
  }
  void TearDown() override {
    const locale_t used = uselocale(LC_GLOBAL_LOCALE);
    if (used != LC_GLOBAL_LOCALE) freelocale(used);
  }

  static test_support::TemporaryFolder* folder_;
};

test_support::TemporaryFolder* LocaleNumberIn::folder_ = nullptr;

TEST_F(LocaleNumberIn, GermanCommaAndPoint) {
  if (!use("de_DE")) GTEST_SKIP() << "localedef cannot build de_DE here";
  expect_numbers({{u"1.234,5", 1234.5},
                  {u"1,5", 1.5},
                  {u"2,5e1", 25},
                  {u"1.5", 15},  // the point groups thousands here
                  {u"1..5", {}},
                  {u"1.", {}},
                  {u".5", {}},
                  {u"1,2,3", {}}},
                 "de_DE");
}

TEST_F(LocaleNumberIn, FrenchNarrowNoBreakSpaceAlsoTakesPlainSpaces) {
  if (!use("fr_FR")) GTEST_SKIP() << "localedef cannot build fr_FR here";
  expect_numbers({{u"1\u202F234,5", 1234.5},
                  {u"1 234", 1234},
                  {u"1\u00A0234", 1234},
                  {u"-12 345 678,25", -12345678.25},
                  {u"1,5", 1.5},
                  {u"1.5", {}},
                  {u"1  234", {}}},
                 "fr_FR");
}

}  // namespace
}  // namespace automation
