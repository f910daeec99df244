// How much memory this process may use: the machine's physical memory, or a
// cgroup memory limit when one is set and lower (containers and services
// usually run under one, and exceeding it gets the process killed).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace krelvo {

// The lowest memory limit of the cgroups named in `proc_self_cgroup` (the
// text of /proc/self/cgroup) and of their ancestors, under `mount_root`
// (/sys/fs/cgroup): memory.max of cgroup v2, or memory.limit_in_bytes of the
// v1 memory controller (mounted at mount_root/memory). None when no limit is
// set or none can be read.
std::optional<uint64_t> cgroup_memory_limit(std::string_view proc_self_cgroup, const std::filesystem::path& mount_root);

// Physical memory, lowered to the process's cgroup limit; worked out once.
uint64_t memory_available_bytes();

}  // namespace krelvo
