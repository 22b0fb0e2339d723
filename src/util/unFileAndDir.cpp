#include "util/unFileAndDir.h"

#include "util/Errors.h"
#include "util/Text.h"
#include "util/WinHandles.h"

#include <windows.h>

#include <vector>

std::string GetSystemDir()
{
    char buffer[261] = {};
    ::GetSystemDirectoryA(buffer, sizeof buffer);
    return std::string(buffer) + "\\";
}

std::string ExePath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExeDir()
{
    const std::string path = ExePath();
    return path.substr(0, path.find_last_of("\\/:") + 1);
}

std::string SystemMessageText(unsigned long code)
{
    char buffer[512] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                     buffer, sizeof buffer, nullptr);
    return TrimTrailingNoise(std::string(buffer, n));
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    const FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size))
        throw LauncherError("Cannot open file \"" + path + "\". " + SystemMessageText(::GetLastError()));
    if (size.QuadPart > 64 * 1024 * 1024) throw LauncherError("File \"" + path + "\" is too large");
    std::vector<std::uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        throw LauncherError("Cannot read file \"" + path + "\". " + SystemMessageText(::GetLastError()));
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::string staged = path + ".new";
    bool complete = false;
    {
        const FileHandle file(::CreateFileA(staged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        complete = file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                   written == bytes.size();
    }
    if (complete && ::MoveFileExA(staged.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileA(staged.c_str());
    return false;
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
