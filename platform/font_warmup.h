#pragma once
#include <thread>

// The system's font configuration loaded on a thread of its own while the toolkit starts,
// so that the first window's texts do not wait for it (on systems with fontconfig: its
// configuration files and caches). The loaded configuration is the one the toolkit uses.
namespace tecladim::platform {

// Joins the thread before the caller goes on to build windows.
class FontWarmUp {
 public:
  FontWarmUp();
  ~FontWarmUp();
  FontWarmUp(const FontWarmUp&) = delete;
  FontWarmUp& operator=(const FontWarmUp&) = delete;
  void Wait();

 private:
  std::thread thread_;
};

}  // namespace tecladim::platform
