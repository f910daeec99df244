// Writes a run of values into the registry store, for the test of two
// processes writing at once: registry_store_writer PREFIX COUNT.
#include <cstdlib>
#include <string>

#include "automation/registry.hpp"

int main(int argc, char** argv) {
  using namespace automation;
  if (argc != 3) return 2;
  const std::string prefix = argv[1];
  const int count = std::atoi(argv[2]);
  for (int i = 0; i < count; ++i) {
    HKEY key = 0;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Race", &key) != ERROR_SUCCESS) return 1;
    const std::string name = prefix + std::to_string(i);
    const auto* data = reinterpret_cast<const uint8_t*>(name.data());
    const LONG written = RegSetValueExA(key, name.c_str(), 0, REG_SZ, data, static_cast<DWORD>(name.size()));
    if (RegCloseKey(key) != ERROR_SUCCESS || written != ERROR_SUCCESS) return 1;
  }
  return 0;
}
