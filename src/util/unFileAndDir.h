#pragma once
// File and directory helpers.

#include <cstdint>
#include <string>
#include <vector>

// The Windows system directory followed by "\" (ANSI code page).
std::string GetSystemDir();

// Full path of the running executable.
std::string ExePath();

// The folder of the running executable, with its trailing backslash.
std::string ExeDir();

// The system's message text for a Windows error code, without trailing spaces,
// control characters and full stops; empty when the system has none.
std::string SystemMessageText(unsigned long code);

// The whole content of a file. Throws LauncherError
// 'Cannot open file "<path>". <system text>' when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Writes the file whole or not at all: the bytes go to a file beside it, which
// then replaces it, so that a failed write (disk full, say) never leaves a
// truncated file behind. False when either step failed.
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// True when a file (not a directory) exists at path.
bool FileExists(const std::string& path);

// True when path names an existing directory.
bool DirectoryExists(const std::string& path);
