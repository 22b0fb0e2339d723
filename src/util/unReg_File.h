#pragma once
// Registry string helpers: one read or one write of a string value per call.
// Each call opens and closes its own key handle; nothing is cached.

#include <windows.h>

#include <string>

// Stores value as REG_SZ, creating the key path when missing. Throws
// RegistryError "Failed to set data for '<valueName>'" when it cannot.
void RegWriteStr(HKEY root, const std::string& key, const std::string& valueName, const std::string& value);

// The text of a REG_SZ or REG_EXPAND_SZ value, up to its first NUL. A missing
// key, an unreadable key, a missing value and an empty value all read as "".
// Never creates a key. Throws RegistryError "Failed to get data for '%s'" or
// "Invalid data type for '%s'".
std::string RegReadStr(HKEY root, const std::string& key, const std::string& valueName);

std::string RegReadUserStr(const std::string& key, const std::string& valueName);
void RegWriteUserStr(const std::string& key, const std::string& valueName, const std::string& value);
