// The installer runner against real child processes.
#include "util/unOther.h"

#include "Fixtures.h"
#include "support/HandleCount.h"
#include "support/MessageBoxAnswerer.h"
#include "util/WinHandles.h"
#include "util/unFileAndDir.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

std::string TempFile(const char* name)
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + name;
    ::DeleteFileA(path.c_str());
    return path;
}

class RunAndWaitTest : public ::testing::Test {
protected:
    const std::string missing = ExeDir() + "bin\\NoSuchSetup.exe";
    // The shell's first use of each lookup (by path, along the search path),
    // with a second thread running, opens what it keeps for the rest of the process.
    void SetUp() override
    {
        MessageBoxAnswerer warmUp;
        RunAndWait(missing, "", SW_SHOWNORMAL);
        RunAndWait("no_such_program_anywhere", "", SW_HIDE);
    }
};

TEST_F(RunAndWaitTest, MissingProgramGivesFalseAtOnceWithoutMessageOrHandle)
{
    const DWORD handlesBefore = OpenHandleCount();
    {
        MessageBoxAnswerer answerer;  // would answer an error box of the shell
        EXPECT_FALSE(RunAndWait(missing, "", SW_SHOWNORMAL));
        EXPECT_FALSE(RunAndWait("no_such_program_anywhere", "stop w3svc", SW_HIDE));
        EXPECT_TRUE(answerer.Seen().empty());
    }
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
}

TEST_F(RunAndWaitTest, ExpandsEnvironmentReferencesPassesParametersAndWaitsForTheEnd)
{
    const std::string marker = TempFile("runandwait_marker.txt");
    const std::string fixtures = FixturePath("");
    ScopedEnvironment variable("RUNANDWAIT_FIXTURES", fixtures.c_str());
    const DWORD handlesBefore = OpenHandleCount();

    EXPECT_TRUE(RunAndWait("%RUNANDWAIT_FIXTURES%fake_installer.exe", "300 \"" + marker + "\"", SW_SHOWNORMAL));

    EXPECT_TRUE(FileExists(marker));  // written by the child just before it ended
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
    ::DeleteFileA(marker.c_str());
}

// A window of the test thread, with a button, that notes what reaches it while
// the runner waits and the child still runs.
struct WaitObserver {
    static WaitObserver* current;
    std::string childMarker;
    bool waiting = false;
    int paintsDuringWait = 0;
    int clicksDuringWait = 0;

    bool ChildRunning() const { return waiting && !FileExists(childMarker); }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            ::BeginPaint(window, &ps);
            ::EndPaint(window, &ps);
            if (current->ChildRunning()) ++current->paintsDuringWait;
            return 0;
        }
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            if (current->ChildRunning()) ++current->clicksDuringWait;
            ::PostQuitMessage(0);  // a request to end the program, made during the wait
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};
WaitObserver* WaitObserver::current = nullptr;

TEST_F(RunAndWaitTest, WindowsOfTheThreadRepaintAndRespondWhileTheChildRuns)
{
    WaitObserver observer;
    observer.childMarker = TempFile("runandwait_child_done.txt");
    WaitObserver::current = &observer;

    WNDCLASSW wc{};
    wc.lpfnWndProc = WaitObserver::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RunAndWaitObserver";
    ::RegisterClassW(&wc);
    WindowHandle window(::CreateWindowExW(0, wc.lpszClassName, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                          300, 200, nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(window);
    const HWND button = ::CreateWindowExW(0, L"BUTTON", L"Install", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                                          100, 30, window.get(), nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(button);
    ::UpdateWindow(window.get());

    // Another thread uncovers the window and clicks the button while the child runs.
    std::thread user([&] {
        ::Sleep(300);
        ::InvalidateRect(window.get(), nullptr, TRUE);
        ::PostMessageW(button, BM_CLICK, 0, 0);
    });
    observer.waiting = true;
    const bool started = RunAndWait(FixturePath("fake_installer.exe"), "1500 \"" + observer.childMarker + "\"",
                                    SW_SHOWNORMAL);
    observer.waiting = false;
    user.join();

    EXPECT_TRUE(started);
    EXPECT_TRUE(FileExists(observer.childMarker));
    EXPECT_GE(observer.paintsDuringWait, 1);
    EXPECT_EQ(observer.clicksDuringWait, 1);
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the wait consumes a quit request";
    ::DeleteFileA(observer.childMarker.c_str());
    WaitObserver::current = nullptr;
}

}  // namespace
