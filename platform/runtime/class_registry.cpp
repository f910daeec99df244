#include "automation/class_registry.hpp"
#include "automation/component_server.hpp"

#include <algorithm>
#include <mutex>
#include <vector>

#include "automation/error.hpp"
#include "class_resolution.hpp"
#include "name_compare.hpp"

namespace automation {
namespace {

std::mutex registry_mutex;
std::vector<const ClassInfo*>& known_classes() {
  static std::vector<const ClassInfo*> classes;
  return classes;
}
std::vector<const LibraryInfo*>& known_libraries() {
  static std::vector<const LibraryInfo*> libraries;
  return libraries;
}

}  // namespace

void register_library(const LibraryInfo& library) {
  std::lock_guard lock(registry_mutex);
  if (std::find(known_libraries().begin(), known_libraries().end(), &library) == known_libraries().end())
    known_libraries().push_back(&library);
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

const LibraryInfo* find_library(std::string_view name) {
  std::lock_guard lock(registry_mutex);
  for (const LibraryInfo* library : known_libraries())
    if (same_name(library->name, name)) return library;
  return nullptr;
}

std::vector<const LibraryInfo*> loaded_libraries() {
  std::lock_guard lock(registry_mutex);
  return known_libraries();
}

const ClassInfo& resolve_class(std::string_view name) {
  if (const ClassInfo* info = find_class(name)) return *info;
  std::string why;
  if (const ClassInfo* info = load_class(name, why)) return *info;
  raise_error(kErrCannotCreateObject,
              "Cannot create object: " + std::string(name) + (why.empty() ? "" : " (" + why + ")"));
}

const LibraryInfo& resolve_library(std::string_view name) {
  if (const LibraryInfo* library = find_library(name)) return *library;
  std::string why;
  if (const LibraryInfo* library = load_library(name, why)) return *library;
  raise_error(kErrCannotCreateObject,
              "Cannot create object: no library " + std::string(name) + (why.empty() ? "" : " (" + why + ")"));
}

const ClassInfo* find_library_class(const LibraryInfo& library, const char* name) {
  if (name == nullptr) return nullptr;
  for (const ClassInfo* info : library.classes)
    if (same_name(info->prog_id(), name) || same_name(info->clsid, name)) return info;
  return nullptr;
}

ObjectRef create_object(std::string_view name) {
  const ClassInfo& info = resolve_class(name);
  if (!info.create)
    raise_error(kErrCannotCreateObject, "Cannot create object: " + info.prog_id() + " cannot be created by a host");
  return info.create();
}

}  // namespace automation
