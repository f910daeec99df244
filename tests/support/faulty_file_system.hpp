// A file-system table over the native one that fails on purpose. Installed
// while it lives, it counts every call by entry and makes the n-th call of
// one entry, and with `persistent` every later one too, fail with the errno
// value chosen: the file-system counterpart of FailingSqliteVfs. A failing
// close still releases the descriptor, as Linux does.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>

#include "automation/file_system.hpp"

namespace test_support {

class FaultyFileSystem {
 public:
  enum class Call {
    kOpen,
    kClose,
    kRead,
    kWrite,
    kFlush,
    kTruncate,
    kChmod,
    kFstat,
    kStat,
    kRename,
    kRenameNoReplace,
    kRemove,
    kLock,
    kChown,
    kLinkAnonymous,
  };
  static constexpr std::size_t kCallKinds = 15;

  FaultyFileSystem() : state_(std::make_shared<State>()) {
    automation::set_file_system(std::make_shared<const automation::FileSystem>(table(state_)));
  }
  ~FaultyFileSystem() { automation::set_file_system(nullptr); }
  FaultyFileSystem(const FaultyFileSystem&) = delete;
  FaultyFileSystem& operator=(const FaultyFileSystem&) = delete;

  // Counting starts again; nth = 1 is the next call of that entry.
  void fail(Call call, int nth, int error_number, bool persistent) {
    reset_counts();
    state_->error_number = error_number;
    state_->persistent = persistent;
    state_->failing_from = nth;
    state_->failing_kind = static_cast<int>(call);
  }
  void heal() { state_->failing_kind = -1; }
  int count(Call call) const { return state_->counts[static_cast<std::size_t>(call)]; }
  void reset_counts() {
    for (auto& count : state_->counts) count = 0;
  }

 private:
  struct State {
    std::array<std::atomic<int>, kCallKinds> counts{};
    std::atomic<int> failing_kind{-1};
    std::atomic<int> failing_from{0};
    std::atomic<int> error_number{0};
    std::atomic<bool> persistent{false};

    // The negated errno value for this call, or 0; counts the call.
    int next(Call call) {
      const int number = ++counts[static_cast<std::size_t>(call)];
      if (failing_kind != static_cast<int>(call)) return 0;
      const bool hit = persistent ? number >= failing_from : number == failing_from;
      return hit ? -error_number : 0;
    }
  };

  template <class Result, class... Args>
  static std::function<Result(Args...)> failing(const std::shared_ptr<State>& state, Call call,
                                                const std::function<Result(Args...)>& native) {
    return [state, call, &native](Args... args) -> Result {
      if (const int error = state->next(call)) return error;
      return native(args...);
    };
  }

  static automation::FileSystem table(const std::shared_ptr<State>& state) {
    const automation::FileSystem& native = automation::native_file_system();
    automation::FileSystem faulty;
    faulty.open = failing(state, Call::kOpen, native.open);
    faulty.close = [state, &native](int file) {
      const int error = state->next(Call::kClose);
      const int closed = native.close(file);
      return error != 0 ? error : closed;
    };
    faulty.read = failing(state, Call::kRead, native.read);
    faulty.write = failing(state, Call::kWrite, native.write);
    faulty.flush = failing(state, Call::kFlush, native.flush);
    faulty.truncate = failing(state, Call::kTruncate, native.truncate);
    faulty.chmod = failing(state, Call::kChmod, native.chmod);
    faulty.fstat = failing(state, Call::kFstat, native.fstat);
    faulty.stat = failing(state, Call::kStat, native.stat);
    faulty.rename = failing(state, Call::kRename, native.rename);
    faulty.rename_no_replace = failing(state, Call::kRenameNoReplace, native.rename_no_replace);
    faulty.remove = failing(state, Call::kRemove, native.remove);
    faulty.lock = failing(state, Call::kLock, native.lock);
    faulty.chown = failing(state, Call::kChown, native.chown);
    faulty.link_anonymous = failing(state, Call::kLinkAnonymous, native.link_anonymous);
    return faulty;
  }

  std::shared_ptr<State> state_;
};

}  // namespace test_support
