// Names of the temporary files put beside a target: ".<name>.<pid>-<random>.tmp".
// The random part makes the name unguessable; the process id tells a file
// of a killed writer from one that a live writer is still filling.
#pragma once

#include <string>

#include "automation/file_system.hpp"

namespace automation {

struct PathParts {
  std::string folder;  // "." for a bare name
  std::string name;
};

PathParts split_path(const std::string& path);

std::string temporary_path(const PathParts& target);

// Removes the temporary files of `target` whose writers are gone. Only
// regular files owned by this user are touched, never a link's target.
void remove_stale_temporaries(const FileSystem& file_system, const PathParts& target);

}  // namespace automation
