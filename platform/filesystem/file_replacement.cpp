#include "automation/file_replacement.hpp"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "automation/error.hpp"

namespace automation {
namespace {

constexpr int kTemporaryNameAttempts = 16;

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The permissions of the file being replaced; none for a new file. Opening
// it for writing (without truncating) is the one test that agrees with the
// kernel on ownership, modes and access lists alike.
std::optional<uint32_t> permissions_to_keep(const std::shared_ptr<const FileSystem>& file_system,
                                            const std::string& target) {
  try {
    const OpenFile existing(file_system, target.c_str(), O_WRONLY | O_NONBLOCK);
    const FileStatus status = existing.status();
    if (!status.is_regular()) raise_path_file_access_error();
    return status.permissions();
  } catch (const AutomationError& error) {
    if (error.number() == kErrFileNotFound) return std::nullopt;
    throw;
  }
}

// A short name, so a target name at the length limit still leaves room.
std::string temporary_name(const std::string& folder, std::mt19937& random) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
  return folder + "/.drumel-" + suffix + ".tmp";
}

}  // namespace

FileReplacement::TemporaryName::~TemporaryName() {
  if (!path.empty()) file_system->remove(path.c_str());
}

FileReplacement::FileReplacement(std::shared_ptr<const FileSystem> file_system, std::string target)
    : file_system_(std::move(file_system)),
      target_(std::move(target)),
      folder_(folder_of(target_)),
      temporary_{file_system_, {}} {
  const std::optional<uint32_t> keep = permissions_to_keep(file_system_, target_);
  std::mt19937 random(std::random_device{}());
  for (int attempt = 1; !file_; ++attempt) {
    const std::string name = temporary_name(folder_, random);
    try {
      file_.emplace(file_system_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666u);
      temporary_.path = name;
    } catch (const AutomationError&) {
      // Only a name already taken is worth another try.
      FileStatus taken;
      if (attempt == kTemporaryNameAttempts || file_system_->stat(name.c_str(), taken) != 0) throw;
    }
  }
  if (keep) file_->set_permissions(*keep);
}

void FileReplacement::commit() {
  file_->flush();
  file_->close();
  const int renamed = file_system_->rename(temporary_.path.c_str(), target_.c_str());
  if (renamed < 0) raise_file_error(-renamed, FileErrorContext::kCreating);
  temporary_.path.clear();
  // The rename itself reaches the device with the folder; the new content is
  // already in place either way, so a folder that cannot be flushed is no failure.
  const int folder = file_system_->open(folder_.c_str(), O_RDONLY | O_DIRECTORY, 0);
  if (folder >= 0) {
    file_system_->flush(folder);
    file_system_->close(folder);
  }
}

}  // namespace automation
