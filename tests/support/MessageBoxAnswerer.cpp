#include "support/MessageBoxAnswerer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::wstring WindowText(HWND wnd)
{
    if (!wnd) return L"";
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(wnd)) + 1, L'\0');
    const int n = ::GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

bool IsClass(HWND wnd, const wchar_t* name)
{
    wchar_t buffer[64] = {};
    ::GetClassNameW(wnd, buffer, 64);
    return ::lstrcmpiW(buffer, name) == 0;
}

// A named CALLBACK function: a lambda lacks the stdcall convention on 32-bit.
BOOL CALLBACK CollectVisibleProcessWindow(HWND wnd, LPARAM param)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(wnd))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
    return TRUE;
}

// The visible top-level windows of this process.
std::vector<HWND> VisibleProcessWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(CollectVisibleProcessWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<int> PushButtons(HWND dlg)
{
    std::vector<int> ids;
    for (HWND child = ::GetWindow(dlg, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (IsClass(child, L"Button")) ids.push_back(::GetDlgCtrlID(child));
    return ids;
}

template <typename T>
bool Has(const std::vector<T>& items, T item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

int DefaultAnswer(const std::vector<int>& ids)
{
    for (int id : {IDOK, IDNO, IDCANCEL})
        if (Has(ids, id)) return id;
    return ids.empty() ? IDCANCEL : ids.front();
}

}  // namespace

struct MessageBoxAnswerer::State {
    std::vector<int> script;
    size_t next = 0;
    std::atomic<bool> stop{false};
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<SeenMessageBox> seen;
    std::vector<HWND> answered;  // boxes pressed that may not have closed yet
    std::thread thread;

    void Watch()
    {
        while (!stop.load()) {
            AnswerOpenBoxes();
            std::this_thread::sleep_for(kPollInterval);
        }
    }

    void AnswerOpenBoxes()
    {
        std::erase_if(answered, [](HWND wnd) { return !::IsWindow(wnd); });
        const std::vector<HWND> windows = VisibleProcessWindows();
        for (HWND wnd : windows) {
            if (!IsClass(wnd, L"#32770") || Has(answered, wnd)) continue;
            Answer(wnd, windows);
        }
    }

    void Answer(HWND dlg, const std::vector<HWND>& windows)
    {
        SeenMessageBox box;
        box.caption = WindowText(dlg);
        box.text = WindowText(::GetDlgItem(dlg, 0xFFFF));
        box.buttons = PushButtons(dlg);
        box.ownerDisabled = true;
        for (HWND other : windows) {
            if (other == dlg) continue;
            ++box.otherWindows;
            if (::IsWindowEnabled(other)) box.ownerDisabled = false;
        }
        const int scripted = next < script.size() ? script[next++] : 0;
        box.pressed = Has(box.buttons, scripted) ? scripted : DefaultAnswer(box.buttons);
        answered.push_back(dlg);
        {
            // Recorded before pressing, so that it is there when the box returns.
            std::lock_guard<std::mutex> lock(mutex);
            seen.push_back(box);
        }
        changed.notify_all();
        ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(box.pressed, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dlg, box.pressed)));
    }
};

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<int> buttons) : state_(new State)
{
    state_->script = std::move(buttons);
    state_->thread = std::thread([s = state_] { s->Watch(); });
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    state_->stop = true;
    state_->thread.join();
    delete state_;
}

std::vector<SeenMessageBox> MessageBoxAnswerer::Seen() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->seen;
}

bool MessageBoxAnswerer::WaitForSeen(size_t count, DWORD timeoutMs) const
{
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return state_->seen.size() >= count; });
}
