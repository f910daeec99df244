// The exit statuses of krelvo, as its help text lists them.
#pragma once

namespace krelvo::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRunFailed = 1;      // the optimizer's error, or output not written
inline constexpr int kExitInputError = 2;     // bad input file or command line
inline constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report it

}  // namespace krelvo::cli
