// New content for a file, written beside it and put in its place with one
// rename once it is on the device: until commit() succeeds the old file
// stays exactly as it was, and a failed or abandoned replacement leaves no
// trace.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "automation/open_file.hpp"

namespace automation {

class AUTOMATION_RUNTIME_API FileReplacement {
 public:
  // Raises the file error when the target cannot be written (missing folder,
  // read-only file, a folder in its place) or the new file cannot be made.
  FileReplacement(std::shared_ptr<const FileSystem> file_system, std::string target);
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The new content, empty at first.
  OpenFile& file() { return *file_; }
  // Flushes, closes and renames over the target; an existing target's
  // permissions carry over.
  void commit();

 private:
  // The new file's name; it is removed again unless renamed into place.
  struct TemporaryName {
    std::shared_ptr<const FileSystem> file_system;
    std::string path;  // empty while no file of ours bears it
    ~TemporaryName();
  };

  std::shared_ptr<const FileSystem> file_system_;
  std::string target_;
  std::string folder_;
  TemporaryName temporary_;
  std::optional<OpenFile> file_;  // closed before its name is removed
};

}  // namespace automation
