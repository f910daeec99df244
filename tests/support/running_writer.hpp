// A writer process for the tests that kill writers: runs `write(round)` for
// round 0, 1, 2 ... in a forked child until it is killed. The constructor
// returns once the child runs, so a kill's moment counts from its first
// write, not from the fork (under Valgrind a child takes a while to get
// going). A writer still running when the test ends (a failed assertion) is
// killed then.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace test_support {

class RunningWriter {
 public:
  explicit RunningWriter(const std::function<void(int)>& write) {
    int running[2];
    if (::pipe(running) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(running[0]);
      [[maybe_unused]] const ssize_t told = ::write(running[1], "r", 1);
      ::close(running[1]);
      for (int round = 0;; ++round) write(round);
    }
    ::close(running[1]);
    char byte = 0;
    [[maybe_unused]] const ssize_t heard = ::read(running[0], &byte, 1);
    ::close(running[0]);
  }
  RunningWriter(const RunningWriter&) = delete;
  RunningWriter& operator=(const RunningWriter&) = delete;
  ~RunningWriter() {
    if (started()) kill_and_wait();
  }

  bool started() const { return pid_ > 0; }

  // SIGKILL, then the status waitpid gives.
  int kill_and_wait() {
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace test_support
