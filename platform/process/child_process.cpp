#include "automation/child_process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "automation/file_descriptor.hpp"

extern char** environ;

namespace automation {
namespace {

class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

std::optional<int> wait_for_exit(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) == -1)
    if (errno != EINTR) return std::nullopt;
  if (!WIFEXITED(status)) return std::nullopt;
  return WEXITSTATUS(status);
}

}  // namespace

std::optional<ChildOutcome> run_program(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  int ends[2];
  // Close-on-exec, so no other child started meanwhile keeps the pipe open.
  if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  FileDescriptor read_end(shared_native_file_system(), ends[0]);
  FileDescriptor write_end(shared_native_file_system(), ends[1]);

  SpawnActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(actions.get(), write_end.get(), STDOUT_FILENO);
  posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], actions.get(), nullptr, argv.data(), environ) != 0) return std::nullopt;
  write_end.close();

  ChildOutcome outcome;
  char buffer[4096];
  while (true) {
    const ssize_t count = ::read(read_end.get(), buffer, sizeof buffer);
    if (count > 0) {
      outcome.output.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      break;
    }
  }
  const std::optional<int> exit_code = wait_for_exit(child);
  if (!exit_code) return std::nullopt;
  outcome.exit_code = *exit_code;
  return outcome;
}

bool graphical_session() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* value = std::getenv(variable); value != nullptr && value[0] != '\0') return true;
  return false;
}

}  // namespace automation
