#include "automation/library_loader.hpp"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <mutex>
#include <vector>

#include "automation/class_registry.hpp"
#include "automation/server_registration.hpp"
#include "class_resolution.hpp"
#include "name_compare.hpp"

namespace automation {
namespace {

using LibraryInfoEntry = const LibraryInfo* (*)();

// One load at a time, so two threads asking for the same class load it once.
std::recursive_mutex loader_mutex;

// A library name becomes a file name; anything but letters, digits and
// underscores could reach outside the components folder.
bool is_plain_name(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

// File names on disk keep their case, identifiers do not.
std::filesystem::path find_beside_runtime(const std::string& file) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(runtime_directory(), error))
    if (same_name(entry.path().filename().string(), file)) return entry.path();
  return {};
}

// An installed library is there under its SONAME (lib<Name>.so.1); the bare
// lib<Name>.so is a development link that only a build tree or a -dev package has.
constexpr std::string_view kSonameSuffix = ".so." AUTOMATION_COMPONENT_SOVERSION;

bool is_component_file_name(std::string_view file) {
  if (!file.starts_with("lib") || file.starts_with("libautomation_runtime.")) return false;
  return file.ends_with(".so") || file.ends_with(kSonameSuffix);
}

bool is_class_identifier(std::string_view name) { return !name.empty() && name.front() == '{'; }

void append_reason(std::string& why, const std::string& reason) {
  if (!why.empty()) why += "; ";
  why += reason;
}

// The component servers installed beside the runtime, loaded until one
// provides the class: by a program identifier's library name, or, for a class
// identifier, which names no library, all of them.
const ClassInfo* load_beside_runtime(std::string_view name) {
  if (!is_class_identifier(name)) {
    const std::string_view prefix = name.substr(0, name.find('.'));
    if (prefix.size() == name.size() || !is_plain_name(prefix)) return nullptr;
    const std::string base = "lib" + std::string(prefix);
    std::filesystem::path beside = find_beside_runtime(base + std::string(kSonameSuffix));
    if (beside.empty()) beside = find_beside_runtime(base + ".so");
    std::string ignored;
    if (beside.empty() || load_component_server(beside.string(), ignored) == nullptr) return nullptr;
    return find_class(name);
  }
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(runtime_directory(), error)) {
    const std::string file = entry.path().filename().string();
    if (!is_component_file_name(file)) continue;
    std::string ignored;
    if (load_component_server(entry.path().string(), ignored) == nullptr) continue;
    if (const ClassInfo* info = find_class(name)) return info;
  }
  return nullptr;
}

// Why a registered server must not be loaded, or "" when it may: anyone who
// can change the file, or swap it in its folder, would run code in every
// process that creates the class. The checks a loader makes for trusted paths.
std::string distrust_of(const std::string& registered) {
  const std::string named = "the registered server '" + registered + "' ";
  if (!registered.starts_with('/')) return named + "is no absolute path";
  std::error_code error;
  const std::filesystem::path file = std::filesystem::canonical(registered, error);
  struct stat status {};
  if (error || ::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return named + "is no regular file";
  const auto trusted_owner = [](uid_t owner) { return owner == 0 || owner == ::geteuid(); };
  if (!trusted_owner(status.st_uid) || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return named + "can be changed by other users";
  struct stat folder {};
  // A sticky folder lets nobody else replace our file.
  if (::stat(file.parent_path().c_str(), &folder) != 0 || !trusted_owner(folder.st_uid) ||
      ((folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (folder.st_mode & S_ISVTX) == 0))
    return named + "is in a folder other users can change";
  return {};
}

}  // namespace

std::string runtime_directory() {
  const std::string path = library_path_of(reinterpret_cast<const void*>(&runtime_directory));
  return path.empty() ? "." : std::filesystem::path(path).parent_path().string();
}

const LibraryInfo* load_component_server(const std::string& file, std::string& why) {
  std::lock_guard lock(loader_mutex);
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* message = dlerror();
    append_reason(why, message != nullptr ? message : "cannot load " + file);
    return nullptr;
  }
  const auto entry = reinterpret_cast<LibraryInfoEntry>(dlsym(handle, kLibraryInfoEntry));
  if (entry == nullptr) {
    dlclose(handle);
    append_reason(why, file + " is no component server");
    return nullptr;
  }
  // The handle stays open for the life of the process: objects of the library may be held anywhere.
  const LibraryInfo* library = entry();
  register_library(*library);
  return library;
}

const LibraryInfo* load_library(std::string_view name, std::string& why) {
  if (!is_plain_name(name)) {
    append_reason(why, "'" + std::string(name) + "' is no library name");
    return nullptr;
  }
  std::lock_guard lock(loader_mutex);
  if (const LibraryInfo* library = find_library(name)) return library;
  const std::string unversioned = "lib" + std::string(name) + ".so";
  const std::string versioned = "lib" + std::string(name) + std::string(kSonameSuffix);
  std::string file = versioned;
  std::filesystem::path beside = find_beside_runtime(versioned);
  if (beside.empty()) {
    beside = find_beside_runtime(unversioned);
    if (!beside.empty()) file = unversioned;
  }
  const LibraryInfo* library = nullptr;
  if (!beside.empty()) {
    library = load_component_server(beside.string(), why);
  } else {
    // Neither name beside the runtime: the loader's path, versioned name first.
    std::string versioned_why;
    library = load_component_server(versioned, versioned_why);
    if (library == nullptr) {
      file = unversioned;
      library = load_component_server(unversioned, why);
    }
  }
  if (library != nullptr && find_library(name) == nullptr) {
    append_reason(why, file + " holds the library " + library->name);
    return nullptr;
  }
  return library;
}

const ClassInfo* load_class(std::string_view name, std::string& why) {
  std::lock_guard lock(loader_mutex);
  // Installed classes win, so a registration cannot put another library
  // behind a name they provide.
  if (const ClassInfo* info = load_beside_runtime(name)) return info;
  // A registration that no longer loads falls through to the library's name.
  if (const std::string registered = registered_server_path(name); !registered.empty()) {
    if (std::string distrust = distrust_of(registered); !distrust.empty()) {
      append_reason(why, distrust);
      return nullptr;
    }
    if (load_component_server(registered, why) != nullptr)
      if (const ClassInfo* info = find_class(name)) return info;
  }
  if (is_class_identifier(name)) {
    append_reason(why, "no component server in " + runtime_directory() + " provides it");
    return nullptr;
  }
  const std::string_view prefix = name.substr(0, name.find('.'));
  if (prefix.size() == name.size()) {
    append_reason(why, "a program identifier is Library.Class");
    return nullptr;
  }
  if (load_library(prefix, why) == nullptr) return nullptr;
  if (const ClassInfo* info = find_class(name)) return info;
  append_reason(why, "library " + std::string(prefix) + " has no such class");
  return nullptr;
}

}  // namespace automation
