#include "util/WinHandles.h"

#include <gtest/gtest.h>

namespace {

// Wine's GetProcessHandleCount answers 0; probing the handle table works on both.
DWORD HandleCount()
{
    DWORD count = 0, flags = 0;
    for (UINT_PTR h = 4; h < 0x10000; h += 4)
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++count;
    return count;
}

TEST(UniqueHandle, ClosesOnScopeExitAndOnReset)
{
    const DWORD before = HandleCount();
    {
        KernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        EXPECT_EQ(HandleCount(), before + 1);
        KernelHandle moved(std::move(event));
        EXPECT_FALSE(event);
        EXPECT_TRUE(moved);
    }
    EXPECT_EQ(HandleCount(), before);
}

}  // namespace
