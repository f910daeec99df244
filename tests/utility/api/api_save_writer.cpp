// Saves a run of registry strings through clsAPI, for the test of two
// processes saving at once: api_save_writer PREFIX COUNT.
#include <cstdlib>
#include <memory>
#include <string>

#include "automation/registry.hpp"
#include "drumel.hpp"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string prefix = argv[1];
  const int count = std::atoi(argv[2]);
  const auto api = std::make_shared<drumel::clsAPI>();
  for (int i = 0; i < count; ++i) {
    auto key = static_cast<int32_t>(automation::HKEY_CURRENT_USER);
    automation::Bstr path(u"Software\\Race");
    automation::Bstr name = automation::Bstr::from_utf8(prefix + std::to_string(i));
    automation::Bstr data = name;
    api->SaveString(key, path, name, data);
  }
  return 0;
}
