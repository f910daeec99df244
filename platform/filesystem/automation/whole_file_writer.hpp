// New content for a file, put in its place so that a reader, a crash or a
// killed process sees the old content or the new one, whole, never a mix.
//
// The content goes to a file of our own in the target's folder (an anonymous
// O_TMPFILE where the file system has one, else a name made exclusively with
// O_EXCL|O_NOFOLLOW and 64 random bits, so no planted file or link is ever
// written through), reaches the device, gets the old file's mode and owner,
// and is renamed over the target. A symbolic link at the target is followed:
// its target gets the content and the link stays. A path that exists and is
// not a regular file (a FIFO, a character device, /dev/stdout) is written
// straight, never replaced. Our own temporary files left by killed writers
// are removed by the next write beside them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "automation/file_system.hpp"
#include "automation/open_file.hpp"

namespace automation {

enum class WholeFileMode {
  kReplaceOrCreate,
  // Fails with EEXIST where anything is at the path already, even when it
  // appears while the content is being written.
  kCreateOnly,
};

// What failed, if anything: the errno value and where it was met, so a
// caller can raise it as a file error.
struct WholeFileWrite {
  int error_number = 0;
  FileErrorContext context = FileErrorContext::kTransferring;
  explicit operator bool() const noexcept { return error_number == 0; }
};

// Content made while it is written, so a large text never needs a second
// whole copy: each call gives the next piece, valid until the next call; an
// empty piece ends the content. It may throw std::bad_alloc only.
using ContentPieces = std::function<std::string_view()>;

// Never throws; on failure the target is as it was and nothing of ours stays.
AUTOMATION_RUNTIME_API WholeFileWrite write_whole_file(const std::shared_ptr<const FileSystem>& file_system,
                                                       const std::string& path, const ContentPieces& next_piece,
                                                       WholeFileMode mode = WholeFileMode::kReplaceOrCreate) noexcept;
AUTOMATION_RUNTIME_API WholeFileWrite write_whole_file(const std::shared_ptr<const FileSystem>& file_system,
                                                       const std::string& path, std::string_view content,
                                                       WholeFileMode mode = WholeFileMode::kReplaceOrCreate) noexcept;

}  // namespace automation
