// libFuzzer target for late binding: objects of every class of both
// libraries created by name, then a few calls in a row with member names
// (real ones in any case, misspelt ones, random text), kinds, argument
// counts and argument values of every variant type. Every call returns or
// fails with an automation error of a documented number; an internal error
// (51) or anything else escaping is a finding.
//
// Members with side effects stay in a fuzz folder of their own: files go
// through a file-system table that refuses every path outside it, the
// registry store lives under the folder's XDG_CONFIG_HOME, message boxes and
// the folder picker are answered here, and without a display the screen
// saver is never switched. A yield sets prekid, so every level stops at its
// first checkpoint.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/coercion.hpp"
#include "automation/dispatch.hpp"
#include "automation/file_system.hpp"
#include "automation/folder_browser.hpp"
#include "automation/host_hooks.hpp"
#include "fuzz_check.hpp"
#include "late_binding_values.hpp"
#include "optimizer_problem.hpp"
#include "temporary_folder.hpp"

namespace {

using automation::AutomationError;
using automation::MemberKind;
using automation::Variant;
using automation::VarType;

constexpr std::array<const char*, 6> kClassNames = {"Krelvo.clsOptimizacija", "Drumel.clsFile",
                                                    "Drumel.clsINI",          "Drumel.clsAPI",
                                                    "Drumel.clsEncript",      "{FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}"};

const test_support::TemporaryFolder& fuzz_folder() {
  static const test_support::TemporaryFolder folder;
  return folder;
}

bool inside_fuzz_folder(const char* path) {
  const std::string_view name(path);
  if (name.find("..") != std::string_view::npos) return false;
  // Relative names start at the current directory, which is the fuzz folder.
  if (!name.starts_with('/')) return true;
  const std::string& folder = fuzz_folder().path().native();
  return name.starts_with(folder) && (name.size() == folder.size() || name[folder.size()] == '/');
}

automation::FileSystem confined_file_system() {
  const automation::FileSystem& native = automation::native_file_system();
  automation::FileSystem confined;
  confined.open = [&native](const char* path, int flags, uint32_t permissions) {
    return inside_fuzz_folder(path) ? native.open(path, flags, permissions) : -EACCES;
  };
  confined.stat = [&native](const char* path, automation::FileStatus& status) {
    return inside_fuzz_folder(path) ? native.stat(path, status) : -EACCES;
  };
  confined.rename = [&native](const char* from, const char* to) {
    return inside_fuzz_folder(from) && inside_fuzz_folder(to) ? native.rename(from, to) : -EACCES;
  };
  confined.rename_no_replace = [&native](const char* from, const char* to) {
    return inside_fuzz_folder(from) && inside_fuzz_folder(to) ? native.rename_no_replace(from, to) : -EACCES;
  };
  confined.remove = [&native](const char* path) { return inside_fuzz_folder(path) ? native.remove(path) : -EACCES; };
  return confined;
}

// The files every input starts from: nothing of an earlier input stays.
void lay_out_files() {
  const std::filesystem::path& folder = fuzz_folder().path();
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename() != "config") std::filesystem::remove_all(entry.path());
  test_support::write_file(folder / "a.ini", "[Section]\r\nKey=12\r\nText=abc\r\n");
  test_support::write_file(folder / "b.txt", "text\r\n");
  std::filesystem::create_directories(folder / "sub");
  test_support::write_file(folder / "sub" / "c.txt", "123456789");
}

automation::Object* running_optimizer = nullptr;
bool picker_answers = false;

// What a call on clsOptimizacija may cost, from the inputs it was given.
struct OptimizerInputs {
  fuzz::Problem problem;
  int32_t razina = 0;
};

template <class T>
void record(const Variant& value, VarType type, T& field) {
  try {
    field = automation::coerce(value, type).get<T>();
  } catch (const AutomationError&) {
    // The put fails the same way, so the field keeps its value.
  }
}

void record_put(OptimizerInputs& inputs, const std::string& name, const Variant& value) {
  using automation::array_of;
  if (name == "nitem") record(value, VarType::kI4, inputs.problem.nitem);
  if (name == "razina") record(value, VarType::kI4, inputs.razina);
  if (name == "litem") record(value, array_of(VarType::kR8), inputs.problem.litem);
  if (name == "mitem") record(value, array_of(VarType::kI4), inputs.problem.mitem);
  if (name == "lsource") record(value, array_of(VarType::kR8), inputs.problem.lsource);
  if (name == "msource") record(value, array_of(VarType::kI4), inputs.problem.msource);
}

int32_t int32_or(const Variant& value, int32_t fallback) {
  try {
    return automation::coerce(value, VarType::kI4).get<int32_t>();
  } catch (const AutomationError&) {
    return fallback;
  }
}

bool within_budget(const OptimizerInputs& inputs, const std::string& name, const std::vector<Variant>& args) {
  if (name == "pokreni")
    return fuzz::work_of(inputs.problem, fuzz::plans_of_level(inputs.razina, true), 100) <= fuzz::kWorkBudget;
  if (name != "test" || args.size() != 3) return true;
  const int64_t plans = fuzz::plans_of_test(int32_or(args[2], 0));
  return fuzz::work_of(inputs.problem, plans, int32_or(args[1], 0)) <= fuzz::kWorkBudget;
}

bool is_documented_error(int32_t number) {
  static constexpr std::array<int32_t, 10> kNumbers = {
      automation::kErrInvalidProcedureCall, automation::kErrOverflow,
      automation::kErrOutOfMemory,          automation::kErrSubscriptOutOfRange,
      automation::kErrTypeMismatch,         automation::kErrCannotCreateObject,
      automation::kErrMemberNotFound,       automation::kErrArgumentNotOptional,
      automation::kErrWrongArgumentCount,   automation::kErrNoEvents};
  return std::find(kNumbers.begin(), kNumbers.end(), number) != kNumbers.end();
}

std::string any_member_name(FuzzedDataProvider& input, const automation::ClassInfo& info) {
  const int choice = input.ConsumeIntegralInRange<int>(0, 9);
  if (choice == 0 || info.members.empty()) return input.ConsumeRandomLengthString(16);
  std::string name = info.members[input.ConsumeIntegralInRange<std::size_t>(0, info.members.size() - 1)].name;
  if (choice == 1)
    for (char& letter : name)
      letter = static_cast<char>(input.ConsumeBool() ? std::toupper(letter) : std::tolower(letter));
  if (choice == 2) name.push_back('x');
  return name;
}

MemberKind any_kind(FuzzedDataProvider& input, const automation::ClassInfo& info, const std::string& name) {
  if (input.ConsumeIntegralInRange<int>(0, 4) == 0) {
    static constexpr std::array<MemberKind, 3> kKinds = {MemberKind::kPropertyGet, MemberKind::kPropertyPut,
                                                         MemberKind::kMethod};
    return input.PickValueInArray(kKinds);
  }
  for (const automation::MemberInfo& member : info.members)
    if (automation::find_member(info, name, member.kind) == &member) return member.kind;
  return MemberKind::kMethod;
}

std::size_t declared_count(const automation::ClassInfo& info, const std::string& name, MemberKind kind) {
  const automation::MemberInfo* member = automation::find_member(info, name, kind);
  return member == nullptr ? 0 : member->params.size();
}

void call_once(FuzzedDataProvider& input, automation::Object& object, OptimizerInputs& inputs) {
  const automation::ClassInfo& info = object.class_info();
  const std::string name = any_member_name(input, info);
  const MemberKind kind = any_kind(input, info, name);
  const std::size_t declared = declared_count(info, name, kind);
  const std::size_t count = input.ConsumeIntegralInRange<int>(0, 3) == 0
                                ? input.ConsumeIntegralInRange<std::size_t>(0, declared + 2)
                                : declared;
  std::vector<Variant> args;
  for (std::size_t i = 0; i < count; ++i) args.push_back(fuzz::any_variant(input, object.shared_from_this()));

  const bool optimizer = info.name == "clsOptimizacija";
  std::string lower_name = name;
  std::transform(lower_name.begin(), lower_name.end(), lower_name.begin(), [](char c) { return std::tolower(c); });
  if (optimizer && !within_budget(inputs, lower_name, args)) return;
  try {
    running_optimizer = optimizer ? &object : nullptr;
    automation::invoke(object, name, kind, args);
    if (optimizer && kind == MemberKind::kPropertyPut && args.size() == 1) record_put(inputs, lower_name, args[0]);
  } catch (const AutomationError& error) {
    if (!is_documented_error(error.number()))
      fuzz::fail("error " + std::to_string(error.number()) + " from " + name + ": " + error.description());
  }
  running_optimizer = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::filesystem::path& folder = fuzz_folder().path();
  std::filesystem::current_path(folder);
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  automation::set_file_system(std::make_shared<const automation::FileSystem>(confined_file_system()));
  automation::set_message_box_handler([](const automation::Bstr&, const automation::Bstr&, int32_t) {});
  automation::set_folder_picker_handler([]() -> std::optional<std::string> {
    if (!picker_answers) return std::nullopt;
    return fuzz_folder().path().string();
  });
  automation::set_yield_handler([] {
    if (running_optimizer != nullptr)
      automation::put_property(*running_optimizer, "prekid", Variant(automation::kTrue));
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  lay_out_files();
  picker_answers = input.ConsumeBool();
  automation::ObjectRef object;
  try {
    // A name's prefix is a library to load: unknown names keep to one that is not there.
    object = automation::create_object(input.ConsumeIntegralInRange<int>(0, 15) == 0
                                           ? "NoSuchLibrary." + input.ConsumeRandomLengthString(24)
                                           : std::string(input.PickValueInArray(kClassNames)));
  } catch (const AutomationError& error) {
    fuzz::require(error.number() == automation::kErrCannotCreateObject, "creation failed with another error");
    return 0;
  }
  OptimizerInputs inputs;
  const int calls = input.ConsumeIntegralInRange<int>(1, 8);
  for (int call = 0; call < calls && input.remaining_bytes() > 0; ++call) call_once(input, *object, inputs);
  return 0;
}
