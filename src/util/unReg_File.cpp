#include "util/unReg_File.h"

#include "util/Errors.h"
#include "util/WinHandles.h"

#include <vector>

namespace {

RegistryError Failure(const char* format, const std::string& valueName)
{
    std::string message(format);
    message.replace(message.find("%s"), 2, valueName);
    return RegistryError(message);
}

}  // namespace

void RegWriteStr(HKEY root, const std::string& key, const std::string& valueName, const std::string& value)
{
    RegKey handle;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                          handle.put(), nullptr) != ERROR_SUCCESS ||
        ::RegSetValueExA(handle.get(), valueName.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw Failure("Failed to set data for '%s'", valueName);
}

std::string RegReadStr(HKEY root, const std::string& key, const std::string& valueName)
{
    // A key that is missing or may not be read, and a missing value, read as "".
    RegKey handle;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS) return {};
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(handle.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return {};
    std::vector<char> data(size);
    if (::RegQueryValueExA(handle.get(), valueName.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        throw Failure("Failed to get data for '%s'", valueName);
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw Failure("Invalid data type for '%s'", valueName);
    // Stored texts need not end in a zero byte; stop at the first one or at the end.
    const std::string text(data.data(), size);
    return text.substr(0, text.find('\0'));
}

std::string RegReadUserStr(const std::string& key, const std::string& valueName)
{
    return RegReadStr(HKEY_CURRENT_USER, key, valueName);
}

void RegWriteUserStr(const std::string& key, const std::string& valueName, const std::string& value)
{
    RegWriteStr(HKEY_CURRENT_USER, key, valueName, value);
}
