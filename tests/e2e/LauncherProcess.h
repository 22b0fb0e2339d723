#pragma once
// Drives a real Setup.exe process from a test, as a user would: finds its
// windows, reads what they show, clicks controls and answers its message boxes.

#include "util/WinHandles.h"

#include <windows.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

class LauncherProcess {
public:
    // Starts exePath in workDir with the test's environment plus extraEnv.
    LauncherProcess(const std::wstring& exePath, const std::wstring& workDir,
                    const std::map<std::wstring, std::wstring>& extraEnv = {});
    ~LauncherProcess();  // ends the process if it still runs
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    DWORD Id() const { return id_; }
    bool WaitForExit(std::chrono::milliseconds timeout);
    bool Running() const;

    // The first visible top-level window of the process of the given window
    // class ("#32770" for message boxes), or null after the timeout.
    HWND WaitForWindow(const std::wstring& className, std::chrono::milliseconds timeout) const;

private:
    KernelHandle process_;
    DWORD id_ = 0;
};

std::wstring WindowText(HWND wnd);
std::wstring ClassName(HWND wnd);

// The visible top-level windows of a process.
std::vector<HWND> ProcessWindows(DWORD processId);

// A child (any depth) whose text equals text, or null.
HWND FindChildByText(HWND parent, const std::wstring& text);
// The children (any depth) in the order EnumChildWindows gives them.
std::vector<HWND> Children(HWND parent);

// Clicks a button or radio button the way a mouse click does (BM_CLICK).
void Click(HWND control);

struct ShownMessageBox {
    std::wstring caption;
    std::wstring text;
};

// Waits for a message box of the process, reads it and presses button (IDOK, IDYES, IDNO).
std::optional<ShownMessageBox> AnswerMessageBox(const LauncherProcess& process, int button,
                                                std::chrono::milliseconds timeout = 20s);

// Polls condition every 20 ms until it holds or the timeout passes.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        ::Sleep(20);
    }
    return true;
}
