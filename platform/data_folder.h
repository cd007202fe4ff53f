#pragma once
#include <filesystem>

// The user's own data folder, where the trainer keeps what it could not put beside the
// history: records of a run that could not be saved, and copies of a history's original
// bytes. Plain C++: the core links this, not Qt.
namespace tecladim::platform {

// "$XDG_DATA_HOME/tecladim" (or "~/.local/share/tecladim") on Linux and other POSIX systems,
// "%LOCALAPPDATA%\Tecladim" on Windows; empty when the system names none. Not created here.
std::filesystem::path UserDataFolder();

}  // namespace tecladim::platform
