#include "util/unFileAndDir.h"

#include <windows.h>

#include <vector>

std::string GetSystemDir()
{
    char buffer[261] = {};
    ::GetSystemDirectoryA(buffer, sizeof buffer);
    return std::string(buffer) + "\\";
}

std::string ExeDir()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            std::string path(buffer.data(), n);
            return path.substr(0, path.find_last_of("\\/:") + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
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
