#include "automation/default_message_box.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/host_hooks.hpp"

extern char** environ;

namespace automation {
namespace {

// The box text as plain lines: a CR LF pair is one line break, and a NUL
// could not pass through an argument vector.
std::string plain_text(const Bstr& text) {
  const std::string body = text.to_utf8();
  std::string plain;
  plain.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
    if (body[i] != '\0') plain.push_back(body[i]);
  }
  return plain;
}

bool graphical_session() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// The executable as the PATH search of execvp would find it; an empty entry
// is the current folder.
std::optional<std::string> find_on_path(std::string_view program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return std::nullopt;
  std::string_view rest(path);
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    std::string candidate = folder.empty() ? std::string(".") : std::string(folder);
    candidate.append("/").append(program);
    struct stat status {};
    if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    if (colon == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(colon + 1);
  }
}

const char* dialog_kind(int32_t style) {
  switch (style & 0x70) {
    case kMsgBoxCritical: return "--error";
    case kMsgBoxExclamation: return "--warning";
    default: return "--info";
  }
}

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

// The dialog program's own chatter (toolkit warnings) is not the host's output.
bool silence_standard_streams(SpawnActions& actions) {
  for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    const int flags = stream == STDIN_FILENO ? O_RDONLY : O_WRONLY;
    if (posix_spawn_file_actions_addopen(actions.get(), stream, "/dev/null", flags, 0) != 0) return false;
  }
  return true;
}

// Shown with zenity, started from an argument vector (no shell sees the
// texts) and waited for. False when it could not be shown: the caller then
// still reports the message.
bool show_dialog(const std::string& program, const Bstr& text, const Bstr& caption, int32_t style) {
  std::vector<std::string> arguments = {
      program,  dialog_kind(style), "--modal", "--no-markup",
      "--title=" + plain_text(caption), "--text=" + plain_text(text)};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  SpawnActions actions;
  if (!silence_standard_streams(actions)) return false;
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), actions.get(), nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  // 0: OK pressed, 1: closed by the window manager; anything else means the
  // dialog never came up (no connection to the display, unknown option).
  return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 1);
}

}  // namespace

void show_default_message_box(const Bstr& text, const Bstr& caption, int32_t style) {
  if (graphical_session()) {
    if (const auto program = find_on_path("zenity"); program && show_dialog(*program, text, caption, style))
      return;
  }
  std::fprintf(stderr, "%s: %s\n", plain_text(caption).c_str(), plain_text(text).c_str());
}

}  // namespace automation
