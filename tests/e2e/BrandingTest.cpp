// What the user sees when the launcher starts: the product of bin\Brand.dat
// on the main window, converted to Traditional characters on a BIG5 system.
#include "Distribution.h"

#include <gtest/gtest.h>

namespace {

bool Big5System() { return ::GetACP() == 950; }

// The text as the screen shows it: Simplified, or Traditional on a BIG5 system.
std::wstring Shown(const wchar_t* simplified, const wchar_t* traditional)
{
    return Big5System() ? traditional : simplified;
}

// The colour the screen shows at a client position of a window of the launcher.
COLORREF PixelOf(HWND wnd, int x, int y)
{
    POINT at{x, y};
    ::ClientToScreen(wnd, &at);
    const HDC screen = ::GetDC(nullptr);
    const COLORREF color = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return color;
}

class E2eBranding : public ::testing::Test {
protected:
    void SetUp() override { RemoveHandOverKey(); }
    void TearDown() override { RemoveHandOverKey(); }
};

TEST_F(E2eBranding, MainWindowShowsTheProductOfBrandDat)
{
    ASSERT_TRUE(::GetACP() == 936 || ::GetACP() == 950);
    Distribution dist;
    const auto launcher = dist.Start();
    const HWND main = WaitForMainWindow(*launcher);
    ASSERT_TRUE(main) << "no main window";

    const std::wstring title = Shown(L"星河报表", L"星河報表");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == title; }, 5s)) << "caption: " << WindowText(main).size();
    EXPECT_EQ(WindowText(main), title);
    // The separator line carries the company name as its caption.
    EXPECT_TRUE(FindChildByText(main, Shown(L"星河软件有限公司", L"星河軟件有限公司")));
    // The add-in name replaces the designed one in both radio buttons, once.
    EXPECT_EQ(WindowText(ControlAt(main, 37, 105)),
              Shown(L"整体快速安装（包括服务器、Excel客户端、报表助手、数据库MSDE2000）",
                    L"整體快速安裝（包括服務器、Excel客戶端、報表助手、數據庫MSDE2000）"));
    EXPECT_EQ(WindowText(ControlAt(main, 37, 310)),
              Shown(L"Excel客户端、报表助手 - 安装", L"Excel客戶端、報表助手 - 安裝"));
    // The banner from d3, drawn from the top left corner.
    ::SetForegroundWindow(main);
    EXPECT_TRUE(WaitUntil([&] { return PixelOf(main, 10, 10) == kBannerColor; }, 5s));
    EXPECT_EQ(PixelOf(main, 10, 10), kBannerColor);
    EXPECT_EQ(PixelOf(main, 580, 60), kBannerColor);
}

}  // namespace

namespace {

TEST_F(E2eBranding, AnEmptyAddInNameLeavesThePunctuationAround)
{
    Distribution dist;
    Product product;
    product.addIn = "";
    dist.WriteBin(L"Brand.dat", BrandFile(product));
    const auto launcher = dist.Start();
    const HWND main = WaitForMainWindow(*launcher);
    ASSERT_TRUE(main);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == Shown(L"星河报表", L"星河報表"); }, 5s));
    EXPECT_EQ(WindowText(ControlAt(main, 37, 310)), Shown(L"Excel客户端、 - 安装", L"Excel客戶端、 - 安裝"));
}

}  // namespace
