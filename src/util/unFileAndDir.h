#pragma once
// File and directory helpers.

#include <string>

// The Windows system directory followed by "\" (ANSI code page).
std::string GetSystemDir();

// The folder of the running executable, with its trailing backslash.
std::string ExeDir();

// True when a file (not a directory) exists at path.
bool FileExists(const std::string& path);

// True when path names an existing directory.
bool DirectoryExists(const std::string& path);
