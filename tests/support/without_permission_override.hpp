// Lets permission bits bind even for a privileged test process (root in a
// container): drops the capabilities that bypass them from the thread's
// effective set while it lives; they stay permitted and come back after.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace test_support {

class WithoutPermissionOverride {
 public:
  WithoutPermissionOverride() {
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
      reduced[capability / 32].effective &= ~(1u << (capability % 32));
    active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~WithoutPermissionOverride() {
    if (active_) ::syscall(SYS_capset, &header_, saved_);
  }
  WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
  WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
};

}  // namespace test_support
