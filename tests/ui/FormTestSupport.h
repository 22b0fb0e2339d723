#pragma once
// Helpers for the tests of windows: pumping messages, running a step later
// from inside a modal loop, and capturing what a window shows.

#include "ui/Forms.h"
#include "ui/unGB2BIG5.h"
#include "util/WinHandles.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace formtest {

// Dispatches this thread's messages until done() holds or timeoutMs passed.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        } else {
            ::Sleep(5);
        }
    }
    return true;
}

// Dispatches what is waiting, paints included.
inline void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Runs step once, about ms milliseconds from now, from whatever message loop
// is running then (a modal form's included).
inline void RunLater(UINT ms, std::function<void()> step)
{
    static std::map<UINT_PTR, std::function<void()>> steps;
    struct Timer {
        static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD)
        {
            ::KillTimer(nullptr, id);
            const auto found = steps.find(id);
            if (found == steps.end()) return;
            const std::function<void()> run = std::move(found->second);
            steps.erase(found);
            run();
        }
    };
    steps[::SetTimer(nullptr, 0, ms, Timer::Fire)] = std::move(step);
}

// The client area of a window as it is on screen, copied with BitBlt from the
// window's DC.
class Capture {
public:
    explicit Capture(HWND wnd)
    {
        RECT rect{};
        ::GetClientRect(wnd, &rect);
        width_ = rect.right;
        height_ = rect.bottom;
        WindowDc source(wnd);
        MemoryDc target(::CreateCompatibleDC(source.get()));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        GdiObject bitmap(::CreateDIBSection(target.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        {
            SelectObjectScope select(target.get(), bitmap.get());
            ::BitBlt(target.get(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
            ::GdiFlush();
        }
        const auto* pixels = static_cast<const DWORD*>(bits);
        pixels_.assign(pixels, pixels + static_cast<size_t>(width_) * height_);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // As a COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const
    {
        const DWORD p = pixels_.at(static_cast<size_t>(y) * width_ + x);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<DWORD> pixels_;
};

// A UTF-8 text in the code page given: Gb-like for any code page.
inline std::string InCodePage(const std::string& utf8, unsigned codePage)
{
    return WideToAnsi(AnsiToWide(utf8, CP_UTF8), codePage);
}

// The caption a control should hold: the Traditional text in BIG5 on a
// code-page-950 system, else the Simplified one in GB2312.
inline std::string ExpectedCaption(const std::string& simplifiedUtf8, const std::string& traditionalUtf8)
{
    return ::GetACP() == 950 ? InCodePage(traditionalUtf8, 950) : InCodePage(simplifiedUtf8, 936);
}

inline std::wstring WindowText(HWND wnd)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(wnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The control's position in its parent's client area and its size, as the
// window really is.
inline RECT PlacedRect(HWND wnd)
{
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(wnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace formtest
