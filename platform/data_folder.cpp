#include "platform/data_folder.h"

#include <cstdlib>

namespace tecladim::platform {
namespace {

// An environment variable's value when it is set to an absolute path, as the XDG rules ask.
std::filesystem::path AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return {};
  std::filesystem::path path(value);
  return path.is_absolute() ? path : std::filesystem::path();
}

}  // namespace

std::filesystem::path UserDataFolder() {
#ifdef _WIN32
  const std::filesystem::path local = AbsoluteFromEnvironment("LOCALAPPDATA");
  return local.empty() ? local : local / "Tecladim";
#else
  if (std::filesystem::path data = AbsoluteFromEnvironment("XDG_DATA_HOME"); !data.empty()) return data / "tecladim";
  const std::filesystem::path home = AbsoluteFromEnvironment("HOME");
  return home.empty() ? home : home / ".local" / "share" / "tecladim";
#endif
}

}  // namespace tecladim::platform
