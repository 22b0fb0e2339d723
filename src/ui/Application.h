#pragma once
// The application object: the hidden window that owns the program's windows
// and message boxes, the message loop with its idle event, the request to end,
// and the one place where an error that escapes an event handler is shown.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

// The other visible, enabled top-level windows of this thread, disabled for
// the lifetime of the object (while a modal window or message box is open)
// and enabled again afterwards.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND keep);
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
    ~OtherWindowsDisabled();

private:
    std::vector<HWND> windows_;
};

class TApplication {
public:
    // The idle event: called each time the message queue has become empty.
    // Done starts true; a handler that leaves it true lets the loop sleep until
    // the next message, false asks to be called again at once.
    using IdleEvent = std::function<void(bool& done)>;

    static TApplication& Instance();

    // The hidden owner window (created on first use).
    HWND Handle();
    // Full path of the running executable (ANSI code page).
    std::string ExeName() const;

    // The main window: closing it ends the application. Set by the form layer.
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    IdleEvent OnIdle;

    // Runs the message loop until a quit request arrives.
    void Run();
    // Handles one message, or runs the idle event when the queue is empty.
    // For nested loops (modal forms).
    void HandleMessage();
    // Posts a quit request; it takes effect back in the message loop.
    void Terminate();
    // True once the loop has taken a quit request.
    bool Terminated() const { return terminated_; }

    // A modal message box owned by the application window. While it is open
    // every other window of the program is disabled; afterwards they are
    // enabled again and the window that was active gets the focus back.
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

    // Shows an error that escaped an event handler: its text, with the error icon.
    void ShowException(const std::exception& error);
    void ShowException(const std::string& message);

    // Runs an event handler so that no error leaves it: what escapes is shown
    // with ShowException. Window procedures and timer callbacks call their
    // handlers through this.
    template <typename Handler>
    void Guard(Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (const std::exception& error) {
            ShowException(error);
        } catch (...) {
            ShowException(std::string("Unknown error"));
        }
    }

    // The message-box caption for errors: the executable's name without its extension.
    std::wstring Title() const;

private:
    TApplication() = default;
    bool ProcessMessage();
    void Idle();

    HWND handle_ = nullptr;
    HWND mainWindow_ = nullptr;
    bool terminated_ = false;
};

inline TApplication& Application()
{
    return TApplication::Instance();
}

// Window property by which the form layer marks its top-level windows; the
// message loop gives them dialog keyboard handling (Tab, Enter, Esc).
inline constexpr wchar_t kFormWindowProperty[] = L"Launcher.Form";
