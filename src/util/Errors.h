#pragma once
// Errors of the launcher. Each carries the text that the user is shown: a
// byte string in GB2312 or plain ASCII, as the launcher's own texts are.
// Portable: no windows.h.

#include <stdexcept>
#include <string>

class LauncherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A registry value could not be read or written ("Failed to set data for '%s'").
class RegistryError : public LauncherError {
public:
    using LauncherError::LauncherError;
};

// Damaged zlib data; the message is "Error".
class DecompressionError : public LauncherError {
public:
    DecompressionError() : LauncherError("Error") {}
};

// Inflated content that does not fit the container's layout.
class ContainerError : public LauncherError {
public:
    using LauncherError::LauncherError;
};

// A data packet that cannot be read, or a field that is missing or unusable.
class DataPacketError : public LauncherError {
public:
    using LauncherError::LauncherError;
};

// A banner that is not a usable bitmap.
class BitmapError : public LauncherError {
public:
    using LauncherError::LauncherError;
};

// A failed COM automation call; the message is the text the user sees.
class OleError : public LauncherError {
public:
    OleError(const std::string& message, long code) : LauncherError(message), code_(code) {}
    long code() const { return code_; }

private:
    long code_;
};

// A Windows call that failed where the launcher cannot go on.
class SystemError : public LauncherError {
public:
    SystemError(const std::string& message, unsigned long code) : LauncherError(message), code_(code) {}
    unsigned long code() const { return code_; }

private:
    unsigned long code_;
};
