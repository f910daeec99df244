#include "automation/class_registry.hpp"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

#include "automation/error.hpp"

namespace automation {
namespace {

constexpr int32_t kErrClassNotRegistered = 429;  // "ActiveX component can't create object"

std::mutex registry_mutex;
std::vector<const ClassInfo*>& known_classes() {
  static std::vector<const ClassInfo*> classes;
  return classes;
}

bool same_name(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

void register_library(const LibraryInfo& library) {
  std::lock_guard lock(registry_mutex);
  for (const ClassInfo* info : library.classes)
    if (std::find(known_classes().begin(), known_classes().end(), info) == known_classes().end())
      known_classes().push_back(info);
}

void register_class(const ClassInfo& info) {
  std::lock_guard lock(registry_mutex);
  auto& classes = known_classes();
  const auto same_class = [&](const ClassInfo* known) {
    return same_name(known->clsid, info.clsid) || same_name(known->prog_id(), info.prog_id());
  };
  const auto known = std::find_if(classes.begin(), classes.end(), same_class);
  if (known == classes.end())
    classes.push_back(&info);
  else
    *known = &info;
}

bool unregister_class(std::string_view name) {
  std::lock_guard lock(registry_mutex);
  return std::erase_if(known_classes(), [&](const ClassInfo* info) {
           return same_name(info->prog_id(), name) || same_name(info->clsid, name);
         }) > 0;
}

const ClassInfo* find_class(std::string_view name) {
  std::lock_guard lock(registry_mutex);
  for (const ClassInfo* info : known_classes())
    if (same_name(info->prog_id(), name) || same_name(info->clsid, name)) return info;
  return nullptr;
}

ObjectRef create_object(std::string_view name) {
  const ClassInfo* info = find_class(name);
  if (info == nullptr || !info->create)
    raise_error(kErrClassNotRegistered,
                "ActiveX component can't create object: " + std::string(name));
  return info->create();
}

}  // namespace automation
