#include "util/WinHandles.h"

#include "support/HandleCount.h"

#include <gtest/gtest.h>

namespace {

TEST(UniqueHandle, ClosesOnScopeExitAndOnReset)
{
    const DWORD before = OpenHandleCount();
    {
        KernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        EXPECT_EQ(OpenHandleCount(), before + 1);
        KernelHandle moved(std::move(event));
        EXPECT_FALSE(event);
        EXPECT_TRUE(moved);
    }
    EXPECT_EQ(OpenHandleCount(), before);
}

}  // namespace
