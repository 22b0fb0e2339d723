#include "ui/Application.h"

#include "ui/unGB2BIG5.h"
#include "util/unFileAndDir.h"

#include <vector>

namespace {

LRESULT CALLBACK ApplicationWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(wnd, message, wParam, lParam);
}

HWND CreateApplicationWindow()
{
    static const wchar_t kClassName[] = L"LauncherApplication";
    WNDCLASSW wc{};
    wc.lpfnWndProc = ApplicationWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    ::RegisterClassW(&wc);
    // Zero-sized and never shown, placed in the middle of the screen so that
    // boxes it owns open there.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    return ::CreateWindowExW(0, kClassName, L"", WS_POPUP, x, y, 0, 0, nullptr, nullptr,
                             wc.hInstance, nullptr);
}

struct DisableContext {
    HWND keep;
    std::vector<HWND>* disabled;
};

// A named CALLBACK: a lambda lacks the stdcall convention on 32-bit.
BOOL CALLBACK DisableOtherWindow(HWND wnd, LPARAM param)
{
    auto* context = reinterpret_cast<DisableContext*>(param);
    if (wnd != context->keep && ::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) {
        context->disabled->push_back(wnd);
        ::EnableWindow(wnd, FALSE);
    }
    return TRUE;
}

}  // namespace

OtherWindowsDisabled::OtherWindowsDisabled(HWND keep)
{
    DisableContext context{keep, &windows_};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOtherWindow, reinterpret_cast<LPARAM>(&context));
}

OtherWindowsDisabled::~OtherWindowsDisabled()
{
    for (HWND wnd : windows_)
        if (::IsWindow(wnd)) ::EnableWindow(wnd, TRUE);
}

TApplication& TApplication::Instance()
{
    static TApplication application;
    return application;
}

HWND TApplication::Handle()
{
    if (!handle_) handle_ = CreateApplicationWindow();
    return handle_;
}

std::string TApplication::ExeName() const
{
    return ExePath();
}

std::wstring TApplication::Title() const
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return L"";
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            path = path.substr(path.find_last_of(L"\\/") + 1);
            return path.substr(0, path.find_last_of(L'.'));
        }
        buffer.resize(buffer.size() * 2);
    }
}

void TApplication::Run()
{
    while (!terminated_) HandleMessage();
}

void TApplication::HandleMessage()
{
    if (!ProcessMessage()) Idle();
}

bool TApplication::ProcessMessage()
{
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    const HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && ::GetPropW(root, kFormWindowProperty) && ::IsDialogMessageW(root, &msg)) return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

void TApplication::Idle()
{
    bool done = true;
    if (OnIdle) Guard([&] { OnIdle(done); });
    if (done) ::WaitMessage();
}

void TApplication::Terminate()
{
    ::PostQuitMessage(0);
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags)
{
    const HWND owner = Handle();
    const HWND active = ::GetActiveWindow();
    const HWND focus = ::GetFocus();
    int result;
    {
        const OtherWindowsDisabled disabled(owner);
        result = ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    }
    if (active && ::IsWindow(active)) ::SetActiveWindow(active);
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
    return result;
}

void TApplication::ShowException(const std::exception& error)
{
    ShowException(std::string(error.what()));
}

void TApplication::ShowException(const std::string& message)
{
    MessageBox(ScreenText(message, GetLangCode()), Title(), MB_OK | MB_ICONERROR);
}
