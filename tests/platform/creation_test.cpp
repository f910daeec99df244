#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "automation/application_object.hpp"
#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "automation/library_loader.hpp"
#include "raises_automation_error.hpp"
#include "variant_printer.hpp"

namespace automation {
namespace {

using test_support::RaisesAutomationError;

constexpr const char* kProbeClsid = "{0C7E55A1-5D1B-4C44-9A57-6B1E0D2F3A41}";

// Each check runs in a fresh process, where no component library is loaded yet.
class CreationInFreshProcess : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(CreationInFreshProcess, ByProgramIdentifierLoadsTheLibraryBesideTheRuntime) {
  EXPECT_EXIT(
      {
        const bool was_loaded = find_class("DispatchProbe.clsProbe") != nullptr;
        const ObjectRef probe = create_object("dispatchprobe.CLSPROBE");
        std::exit(!was_loaded && probe->class_info().name == "clsProbe" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(CreationInFreshProcess, ByClassIdentifierWithoutRegistration) {
  EXPECT_EXIT(
      {
        const bool was_loaded = find_class(kProbeClsid) != nullptr;
        const ObjectRef probe = create_object("{0c7e55a1-5d1b-4c44-9a57-6b1e0d2f3a41}");
        std::exit(!was_loaded && probe->class_info().prog_id() == "DispatchProbe.clsProbe" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(Creation, BothIdentifiersNameTheSameClass) {
  const ObjectRef by_prog_id = create_object("DispatchProbe.clsProbe");
  const ObjectRef by_clsid = create_object(kProbeClsid);
  EXPECT_EQ(&by_prog_id->class_info(), &by_clsid->class_info());
  EXPECT_NE(by_prog_id, by_clsid) << "every creation is a new instance";
}

TEST(Creation, UnknownNamesFailWithCannotCreate) {
  for (const char* name : {"Nowhere.clsNothing", "DispatchProbe.clsMissing", "{00000000-0000-0000-0000-000000000000}",
                           "NoPrefix", "../../tmp/evil.cls", ""})
    EXPECT_THAT([&] { create_object(name); }, RaisesAutomationError(kErrCannotCreateObject)) << name;
}

TEST(Creation, ApplicationObjectIsOneImplicitInstance) {
  const ObjectRef first = application_object("DispatchProbe");
  put_property(*first, "count", Variant(int32_t{77}));
  const ObjectRef by_prog_id = application_object("DispatchProbe.clsProbe");
  const ObjectRef by_clsid = application_object(kProbeClsid);
  EXPECT_EQ(first, by_prog_id);
  EXPECT_EQ(first, by_clsid);
  EXPECT_EQ(get_property(*by_prog_id, "count"), Variant(int32_t{77}));
  EXPECT_NE(first, create_object("DispatchProbe.clsProbe"));
  EXPECT_THAT([] { application_object("DispatchProbe.clsPlain"); }, RaisesAutomationError(kErrCannotCreateObject))
      << "clsPlain is no application object";
}

TEST(Creation, ComponentServerEntryPointsGiveTheLibraryAndItsClassObjects) {
  const std::string file = runtime_directory() + "/libDispatchProbe.so";
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  using LibraryEntry = const LibraryInfo* (*)();
  using ClassEntry = const ClassInfo* (*)(const char*);
  const auto library = reinterpret_cast<LibraryEntry>(dlsym(handle, "DllGetLibraryInfo"));
  const auto class_object = reinterpret_cast<ClassEntry>(dlsym(handle, "DllGetClassObject"));
  ASSERT_NE(library, nullptr);
  ASSERT_NE(class_object, nullptr);
  EXPECT_EQ(library()->name, "DispatchProbe");
  const ClassInfo* plain = class_object("DISPATCHPROBE.CLSPLAIN");
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(get_property(*plain->create(), "answer") == Variant(int32_t{42}));
  EXPECT_EQ(class_object("DispatchProbe.clsMissing"), nullptr);
  EXPECT_EQ(class_object(nullptr), nullptr);
  dlclose(handle);
}

}  // namespace
}  // namespace automation
