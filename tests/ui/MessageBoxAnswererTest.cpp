// The test helper itself, against real message boxes.
#include "support/MessageBoxAnswerer.h"

#include "TestWindow.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(MessageBoxAnswerer, RecordsCaptionTextAndButtonsAndPressesTheScriptedButton)
{
    MessageBoxAnswerer answerer({IDYES, IDNO});
    EXPECT_EQ(::MessageBoxW(nullptr, L"是否继续安装？\r\nContinue?", L"确认", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(::MessageBoxW(nullptr, L"second", L"two", MB_YESNO), IDNO);

    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, L"确认");
    EXPECT_EQ(seen[0].text, L"是否继续安装？\r\nContinue?");
    EXPECT_EQ(seen[0].pressed, IDYES);
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(seen[1].caption, L"two");
    EXPECT_EQ(seen[1].pressed, IDNO);
}

TEST(MessageBoxAnswerer, AnswersUnscriptedBoxesWithOkOrNo)
{
    MessageBoxAnswerer answerer({IDYES});
    // A scripted button the box lacks is not pressed.
    EXPECT_EQ(::MessageBoxW(nullptr, L"info", L"t", MB_OK), IDOK);
    EXPECT_EQ(::MessageBoxW(nullptr, L"question", L"t", MB_YESNO), IDNO);
    EXPECT_EQ(::MessageBoxW(nullptr, L"empty", L"t", MB_OKCANCEL), IDOK);
    EXPECT_EQ(answerer.Seen().size(), 3u);
}

TEST(MessageBoxAnswerer, TellsWhetherTheOtherWindowsWereDisabled)
{
    WindowHandle window = CreateTestWindow(L"other");
    ASSERT_TRUE(window);
    MessageBoxAnswerer answerer;
    ::MessageBoxW(nullptr, L"unowned", L"t", MB_OK);   // leaves the window enabled
    ::MessageBoxW(window.get(), L"owned", L"t", MB_OK);  // disables its owner

    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].otherWindows, 1);
    EXPECT_FALSE(seen[0].ownerDisabled);
    EXPECT_EQ(seen[1].otherWindows, 1);
    EXPECT_TRUE(seen[1].ownerDisabled);
}

TEST(MessageBoxAnswerer, WaitsForBoxesOfAnotherThread)
{
    MessageBoxAnswerer answerer;
    std::thread shower([] { ::MessageBoxW(nullptr, L"from a thread", L"t", MB_OK); });
    EXPECT_TRUE(answerer.WaitForSeen(1));
    shower.join();
    EXPECT_EQ(answerer.Seen().at(0).text, L"from a thread");
}

}  // namespace
