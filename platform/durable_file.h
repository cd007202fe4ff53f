#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// Whole-file reads and crash-safe whole-file replacement, with the operating system's own
// error codes, for the history file. Plain C++: the core links these, not Qt.
namespace tecladim::platform {

// Reads the whole file into `bytes` with one read sized from the file's length.
// On failure `bytes` is left empty and the operating system's error is returned.
std::error_code ReadWholeFile(const std::filesystem::path& name, std::string& bytes);

// Replaces `target` by a file holding exactly `bytes`, so that a crash or a full disk at
// any moment leaves either the old file or the new one, never a damaged mix: the bytes go
// to a temporary file in the target's folder, are flushed to the disk, and only then is
// the temporary file renamed over the target. An existing target's permissions are given
// to the new file. On failure the temporary file is removed, the target is untouched and
// the error of the step that failed is returned.
std::error_code ReplaceFileDurably(const std::filesystem::path& target, std::string_view bytes);

}  // namespace tecladim::platform
