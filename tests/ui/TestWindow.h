#pragma once
// A plain visible top-level window of the test thread: the "other window of
// the program" that a modal box must disable while it is open.

#include "util/WinHandles.h"

#include <windows.h>

inline WindowHandle CreateTestWindow(const wchar_t* title)
{
    static const wchar_t kClassName[] = L"LauncherTestWindow";
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    ::RegisterClassW(&wc);  // fails harmlessly when already registered
    WindowHandle window(::CreateWindowExW(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                          300, 200, nullptr, nullptr, wc.hInstance, nullptr));
    if (window) ::SetForegroundWindow(window.get());
    return window;
}
