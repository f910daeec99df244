// A stand-in for a desktop helper program (xset, zenity): a small shell
// script placed first on PATH that logs its arguments and answers as told.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "scoped_config_home.hpp"

namespace automation::testing_support {

class FakeProgram {
 public:
  // The program prints `output` and exits with `exit_code`.
  FakeProgram(const std::string& name, int exit_code, const std::string& output = {})
      : path_variable_("PATH", folder_.path().string() + ":/usr/bin:/bin") {
    const auto script = folder_.path() / name;
    std::ofstream(script) << "#!/bin/sh\n"
                          << "echo \"$@\" >> '" << log_file().string() << "'\n"
                          << "printf '%s' '" << output << "'\n"
                          << "exit " << exit_code << "\n";
    ::chmod(script.c_str(), 0755);
  }

  // One line per run, with the arguments it was given.
  std::string calls() const {
    std::ifstream log(log_file());
    std::stringstream text;
    text << log.rdbuf();
    return text.str();
  }

 private:
  std::filesystem::path log_file() const { return folder_.path() / "calls.log"; }
  TemporaryFolder folder_;
  ScopedEnvironmentVariable path_variable_;
};

}  // namespace automation::testing_support
