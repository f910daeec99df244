#include "progress_bar.hpp"

#include <sys/ioctl.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cstdio>

namespace krelvo::cli {
namespace {

constexpr std::size_t kLongestBar = 30;
constexpr std::size_t kShortestBar = 10;

std::size_t terminal_columns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

std::string clock_text(std::chrono::steady_clock::duration elapsed) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
  std::array<char, 32> buffer{};
  if (seconds >= 3600)
    std::snprintf(buffer.data(), buffer.size(), "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  else
    std::snprintf(buffer.data(), buffer.size(), "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  return buffer.data();
}

void write_stderr(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

std::string progress_line(const JobProgress& progress, const LengthScale& scale,
                          std::chrono::steady_clock::duration elapsed, std::size_t width) {
  const int percent = std::clamp<int>(progress.percent, 0, 100);
  std::string figures = "  " + std::to_string(percent) + "%";
  if (progress.has_plan)
    figures += "  waste " + scale.format(progress.otpad) + "  " + std::to_string(progress.bars) + " bars";
  if (progress.lower_bound > 0) figures += "  bound " + std::to_string(progress.lower_bound);
  figures += "  " + clock_text(elapsed);

  const std::size_t room = width > figures.size() + 2 ? width - figures.size() - 2 : 0;
  if (room < kShortestBar) return figures.substr(2, width);
  const std::size_t bar = std::min(room, kLongestBar);
  const std::size_t done = bar * static_cast<std::size_t>(percent) / 100;
  return "[" + std::string(done, '#') + std::string(bar - done, '-') + "]" + figures;
}

ProgressBar::ProgressBar(bool wanted, const LengthScale& scale)
    : enabled_(wanted && isatty(STDERR_FILENO) == 1), scale_(scale), start_(std::chrono::steady_clock::now()) {}

ProgressBar::~ProgressBar() {
  if (drawn_) write_stderr("\r\x1b[K");
}

void ProgressBar::draw(const JobProgress& progress) {
  if (!enabled_) return;
  // One column short of the edge, so the terminal never wraps the line.
  const std::size_t width = terminal_columns() - 1;
  write_stderr("\r" + progress_line(progress, scale_, std::chrono::steady_clock::now() - start_, width) + "\x1b[K");
  drawn_ = true;
}

}  // namespace krelvo::cli
