#include "automation/application_object.hpp"

#include <map>
#include <mutex>

#include "automation/class_registry.hpp"
#include "automation/error.hpp"

namespace automation {
namespace {

const ClassInfo* application_class_of(const LibraryInfo& library) {
  for (const ClassInfo* info : library.classes)
    if (info->application_object) return info;
  return nullptr;
}

const ClassInfo& application_class(std::string_view name) {
  const bool names_a_class = name.find('.') != std::string_view::npos || name.starts_with('{');
  const ClassInfo* info = names_a_class ? &resolve_class(name) : application_class_of(resolve_library(name));
  if (info == nullptr || !info->application_object || !info->create)
    raise_error(kErrCannotCreateObject, "Cannot create object: " + std::string(name) + " has no application object");
  return *info;
}

}  // namespace

ObjectRef application_object(std::string_view name) {
  const ClassInfo& info = application_class(name);
  static std::mutex mutex;
  // Never destroyed: the instances live until the process ends, and their
  // libraries' static data may be gone by the time static destructors run.
  static auto& instances = *new std::map<const ClassInfo*, ObjectRef>;
  std::lock_guard lock(mutex);
  ObjectRef& instance = instances[&info];
  if (!instance) instance = info.create();
  return instance;
}

}  // namespace automation
