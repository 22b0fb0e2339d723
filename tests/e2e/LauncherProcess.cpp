#include "LauncherProcess.h"

#include <stdexcept>

namespace {

// The current environment block with extra variables set.
std::wstring EnvironmentWith(const std::map<std::wstring, std::wstring>& extra)
{
    std::map<std::wstring, std::wstring> variables;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
            const std::wstring entry(p);
            const size_t eq = entry.find(L'=', 1);
            if (eq != std::wstring::npos) variables[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        ::FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : extra) variables[name] = value;
    std::wstring result;
    for (const auto& [name, value] : variables) result += name + L"=" + value + L'\0';
    return result + L'\0';
}

}  // namespace

LauncherProcess::LauncherProcess(const std::wstring& exePath, const std::wstring& workDir,
                                 const std::map<std::wstring, std::wstring>& extraEnv)
{
    std::wstring commandLine = L"\"" + exePath + L"\"";
    std::wstring environment = EnvironmentWith(extraEnv);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT, environment.data(), workDir.c_str(), &si, &pi))
        throw std::runtime_error("cannot start the launcher");
    ::CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    id_ = pi.dwProcessId;
    ::WaitForInputIdle(pi.hProcess, 10000);
}

LauncherProcess::~LauncherProcess()
{
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool LauncherProcess::Running() const
{
    return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool LauncherProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

HWND LauncherProcess::WaitForWindow(const std::wstring& className, std::chrono::milliseconds timeout) const
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND wnd : ProcessWindows(id_))
                if (ClassName(wnd) == className) {
                    found = wnd;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

std::wstring WindowText(HWND wnd)
{
    wchar_t buffer[2048] = {};
    DWORD_PTR length = 0;
    // WM_GETTEXT with a time-out, so that a hung window cannot hang the test.
    if (!::SendMessageTimeoutW(wnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                               &length))
        return L"";
    return std::wstring(buffer, length);
}

std::wstring ClassName(HWND wnd)
{
    wchar_t buffer[256] = {};
    const int n = ::GetClassNameW(wnd, buffer, 256);
    return std::wstring(buffer, n > 0 ? n : 0);
}

namespace {

struct ProcessWindowsContext {
    DWORD pid;
    std::vector<HWND> windows;
};

// Named CALLBACK functions: a lambda lacks the stdcall convention on 32-bit.
BOOL CALLBACK CollectProcessWindow(HWND wnd, LPARAM param)
{
    auto* ctx = reinterpret_cast<ProcessWindowsContext*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid == ctx->pid && ::IsWindowVisible(wnd)) ctx->windows.push_back(wnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND wnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId)
{
    ProcessWindowsContext context{processId, {}};
    ::EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&context));
    return context.windows;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindChildByText(HWND parent, const std::wstring& text)
{
    for (HWND child : Children(parent))
        if (WindowText(child) == text) return child;
    return nullptr;
}

void Click(HWND control)
{
    ::PostMessageW(control, BM_CLICK, 0, 0);
}

std::optional<ShownMessageBox> AnswerMessageBox(const LauncherProcess& process, int button,
                                                std::chrono::milliseconds timeout)
{
    const HWND box = process.WaitForWindow(L"#32770", timeout);
    if (!box) return std::nullopt;
    ShownMessageBox shown{WindowText(box), WindowText(::GetDlgItem(box, 0xFFFF))};
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    // Wait until it is gone, so that the next wait does not find it again.
    WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10s);
    return shown;
}
