#include "automation/whole_file_writer.hpp"

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>

#include "automation/file_descriptor.hpp"
#include "temporary_names.hpp"

namespace automation {
namespace {

constexpr int kNameAttempts = 16;

WholeFileWrite failed(int negated_errno, FileErrorContext context) { return {-negated_errno, context}; }

// A name of ours in the folder, removed again unless renamed into place.
struct NamedTemporary {
  const FileSystem& file_system;
  std::string path;
  ~NamedTemporary() {
    if (!path.empty()) file_system.remove(path.c_str());
  }
};

// The file a rename must replace: a symbolic link's final target, so the
// link stays and what it points at gets the content.
std::string resolved(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

int write_all(const FileSystem& file_system, int file, const ContentPieces& next_piece, bool positional) {
  int64_t offset = 0;
  for (std::string_view piece = next_piece(); !piece.empty(); piece = next_piece()) {
    while (!piece.empty()) {
      const int64_t written = file_system.write(file, piece.data(), piece.size(), positional ? offset : -1);
      if (written < 0) return static_cast<int>(written);
      // A device that takes nothing and reports no error would spin here forever.
      if (written == 0) return -EIO;
      piece.remove_prefix(static_cast<std::size_t>(written));
      offset += written;
    }
  }
  return 0;
}

// A FIFO, a terminal or a device takes the bytes as they come; replacing it
// with a regular file would break whoever relies on it.
WholeFileWrite write_straight(const std::shared_ptr<const FileSystem>& file_system, const std::string& path,
                              const ContentPieces& next_piece) {
  const int opened = file_system->open(path.c_str(), O_WRONLY | O_NOCTTY, 0);
  if (opened < 0) return failed(opened, FileErrorContext::kOpening);
  FileDescriptor file(file_system, opened);
  FileStatus status;
  const int checked = file_system->fstat(file.get(), status);
  if (checked < 0) return failed(checked, FileErrorContext::kTransferring);
  // A regular file swapped in since the path was looked at is never written in place.
  if (status.is_regular()) return {EAGAIN, FileErrorContext::kOpening};
  if (const int written = write_all(*file_system, file.get(), next_piece, false); written < 0)
    return failed(written, FileErrorContext::kTransferring);
  if (const int closed = file.close(); closed < 0) return failed(closed, FileErrorContext::kTransferring);
  return {};
}

// The status of the regular file being replaced. Opening it for writing
// (without truncating) is the one test that agrees with the kernel on
// ownership, modes and access lists alike. ENOENT: it has just gone.
int existing_status(const std::shared_ptr<const FileSystem>& file_system, const std::string& target,
                    FileStatus& status) {
  const int opened = file_system->open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY, 0);
  if (opened < 0) return opened;
  const FileDescriptor file(file_system, opened);
  const int checked = file_system->fstat(file.get(), status);
  if (checked < 0) return checked;
  return status.is_regular() ? 0 : -EINVAL;
}

// A new file in the folder: anonymous where the file system allows, else
// under a fresh name made exclusively.
int create_temporary(const FileSystem& file_system, const PathParts& target, NamedTemporary& named) {
  const int anonymous = file_system.open(target.folder.c_str(), O_TMPFILE | O_WRONLY, 0666);
  if (anonymous != -EOPNOTSUPP && anonymous != -EISDIR && anonymous != -EINVAL) return anonymous;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string path = temporary_path(target);
    const int created = file_system.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    if (created >= 0) named.path = std::move(path);
    if (created != -EEXIST) return created;
  }
  return -EEXIST;
}

// The anonymous file gets a name beside the target, for the rename.
int name_temporary(const FileSystem& file_system, int file, const PathParts& target, NamedTemporary& named) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string path = temporary_path(target);
    const int linked = file_system.link_anonymous(file, path.c_str());
    if (linked == 0) named.path = std::move(path);
    if (linked != -EEXIST) return linked;
  }
  return -EEXIST;
}

WholeFileWrite replace(const std::shared_ptr<const FileSystem>& file_system, const std::string& path,
                       const ContentPieces& next_piece, WholeFileMode mode) {
  const FileSystem& calls = *file_system;
  FileStatus named_status;
  const int looked = calls.stat(path.c_str(), named_status);
  if (looked < 0 && looked != -ENOENT) return failed(looked, FileErrorContext::kOpening);
  const bool present = looked == 0;
  if (present && mode == WholeFileMode::kCreateOnly) return {EEXIST, FileErrorContext::kCreating};
  if (present && named_status.is_directory()) return {EISDIR, FileErrorContext::kOpening};
  if (present && !named_status.is_regular()) return write_straight(file_system, path, next_piece);

  std::string target = present ? resolved(path) : path;
  std::optional<FileStatus> old_file;
  if (present) {
    FileStatus status;
    const int existing = existing_status(file_system, target, status);
    if (existing < 0 && existing != -ENOENT) return failed(existing, FileErrorContext::kOpening);
    if (existing == 0) old_file = status;
  }

  const PathParts where = split_path(target);
  NamedTemporary named{calls, {}};
  const int created = create_temporary(calls, where, named);
  if (created < 0) return failed(created, FileErrorContext::kCreating);
  FileDescriptor file(file_system, created);
  if (old_file) {
    // Only a privileged process can give the file away; otherwise the copy
    // stays ours, as any rewrite by us would leave it. Before the mode, which
    // a change of owner may clear bits of.
    [[maybe_unused]] const int owner_kept = calls.chown(file.get(), old_file->owner, old_file->group);
    if (const int kept = calls.chmod(file.get(), old_file->permissions()); kept < 0)
      return failed(kept, FileErrorContext::kTransferring);
  }
  if (const int written = write_all(calls, file.get(), next_piece, true); written < 0)
    return failed(written, FileErrorContext::kTransferring);
  if (const int flushed = calls.flush(file.get()); flushed < 0) return failed(flushed, FileErrorContext::kTransferring);
  if (named.path.empty()) {
    if (const int linked = name_temporary(calls, file.get(), where, named); linked < 0)
      return failed(linked, FileErrorContext::kCreating);
  }
  if (const int closed = file.close(); closed < 0) return failed(closed, FileErrorContext::kTransferring);

  const int moved = mode == WholeFileMode::kCreateOnly ? calls.rename_no_replace(named.path.c_str(), target.c_str())
                                                       : calls.rename(named.path.c_str(), target.c_str());
  if (moved < 0) return failed(moved, FileErrorContext::kCreating);
  named.path.clear();
  // The rename itself reaches the device with the folder; the new content is
  // already in place either way, so a folder that cannot be flushed is no failure.
  if (const int opened = calls.open(where.folder.c_str(), O_RDONLY | O_DIRECTORY, 0); opened >= 0)
    calls.flush(FileDescriptor(file_system, opened).get());
  remove_stale_temporaries(calls, where);
  return {};
}

}  // namespace

WholeFileWrite write_whole_file(const std::shared_ptr<const FileSystem>& file_system, const std::string& path,
                                const ContentPieces& next_piece, WholeFileMode mode) noexcept {
  try {
    return replace(file_system, path, next_piece, mode);
  } catch (const std::bad_alloc&) {
    return {ENOMEM, FileErrorContext::kTransferring};
  }
}

WholeFileWrite write_whole_file(const std::shared_ptr<const FileSystem>& file_system, const std::string& path,
                                std::string_view content, WholeFileMode mode) noexcept {
  bool given = false;
  const auto whole = [&]() noexcept {
    const std::string_view piece = given ? std::string_view() : content;
    given = true;
    return piece;
  };
  return write_whole_file(file_system, path, whole, mode);
}

}  // namespace automation
