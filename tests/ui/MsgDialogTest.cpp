// The launcher's message boxes, real ones, answered by the test helper. The
// suite runs under code pages 936, 950 and 1252; what the user sees is
// compared as UTF-16 text.
#include "ui/unMsgDialog.h"

#include "ui/unGB2BIG5.h"
#include "support/MessageBoxAnswerer.h"
#include "TestWindow.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

bool Big5System()
{
    return ::GetACP() == 950;
}

// The expected screen text: the simplified wording, or the traditional one on a BIG5 system.
std::wstring Shown(const char* simplifiedUtf8, const char* traditionalUtf8)
{
    return AnsiToWide(Big5System() ? traditionalUtf8 : simplifiedUtf8, CP_UTF8);
}

class MsgDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window_);
        edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, window_.get(),
                                  nullptr, nullptr, nullptr);
        ::SetActiveWindow(window_.get());
        ::SetFocus(edit_);
    }

    // The program's other window, and the control in it that has the focus.
    WindowHandle window_ = CreateTestWindow(L"other window");
    HWND edit_ = nullptr;
};

TEST_F(MsgDialog, ShowInfoShowsCaptionAndTextInTheUsersScript)
{
    MessageBoxAnswerer answerer;
    ShowInfo(Gb("数据库软件（MSSQL/MSDE）未能正常启动，请检查原因！\r\n第二行"), false, Gb("提示"));

    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, Shown("提示", "提示"));
    EXPECT_EQ(seen[0].text, Shown("数据库软件（MSSQL/MSDE）未能正常启动，请检查原因！\r\n第二行",
                                  "數據庫軟件（MSSQL/MSDE）未能正常啟動，請檢查原因！\r\n第二行"));
    EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK});
}

TEST_F(MsgDialog, AskYesNoReturnsTheButtonPressed)
{
    MessageBoxAnswerer answerer({IDYES, IDNO});
    EXPECT_EQ(AskYesNo(Gb("是否安装MSDE2000？"), false), IDYES);
    EXPECT_EQ(AskYesNo(Gb("是否安装MSDE2000？"), false), IDNO);

    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, Shown("确认", "確認"));
    EXPECT_EQ(seen[0].text, Shown("是否安装MSDE2000？", "是否安裝MSDE2000？"));
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
}

TEST_F(MsgDialog, TextAsIsIsShownWithoutTranslation)
{
    MessageBoxAnswerer answerer;
    // A caller that translated the text itself: it must not be translated twice.
    const std::string translated = LangStr(Gb("关闭"));
    ShowInfo(translated, true, Gb("提示"));
    EXPECT_EQ(AskYesNo(translated, true), IDNO);
    ShowInfo("", false, "");

    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].text, Shown("关闭", "關閉"));
    EXPECT_EQ(seen[1].text, Shown("关闭", "關閉"));
    EXPECT_EQ(seen[2].text, L"");
    EXPECT_EQ(seen[2].caption, L"");
}

TEST_F(MsgDialog, DisablesTheOtherWindowsWhileOpenAndRestoresFocus)
{
    MessageBoxAnswerer answerer;
    ShowInfo(Gb("提示"), false, Gb("提示"));
    EXPECT_EQ(AskYesNo(Gb("确认"), false), IDNO);

    for (const auto& box : answerer.Seen()) {
        EXPECT_GE(box.otherWindows, 1);
        EXPECT_TRUE(box.ownerDisabled);
    }
    EXPECT_TRUE(::IsWindowEnabled(window_.get()));
    EXPECT_EQ(::GetActiveWindow(), window_.get());
    EXPECT_EQ(::GetFocus(), edit_);
}

}  // namespace
