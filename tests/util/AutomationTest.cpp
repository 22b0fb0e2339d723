// The late-binding helper against the fake automation servers.
#include "util/Automation.h"

#include "Fixtures.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace {

class Automation : public ::testing::Test {
protected:
    ComApartment apartment;
    FakeComServer iis{"fake_iis.dll"};
    ScopedEnvironment sites{"FAKE_IIS_SITES", "1,7"};
    ScopedEnvironment missingSite{"FAKE_IIS_MISSING_SITE_CODE", nullptr};
    ScopedEnvironment startError{"FAKE_IIS_START_ERROR", nullptr};
    ScopedEnvironment startErrorCode{"FAKE_IIS_START_ERROR_CODE", nullptr};

    ComRef<IDispatch> WebService()
    {
        const ComRef<IDispatch> root = CreateOleObject("IISNamespace");
        return ToDispatch(CallMethod(root.get(), "GetObject", {"IIsWebService", "127.0.0.1/w3svc"}));
    }

    // The text of the OleError that call throws, or "" when it throws none.
    template <typename Call>
    static std::string ErrorText(Call call)
    {
        try {
            call();
        } catch (const OleError& error) {
            return error.what();
        }
        return {};
    }

    void TearDown() override { EXPECT_EQ(iis.LiveReferences(), 0); }
};

TEST_F(Automation, PassesTextsAsTextsAndIntegersAsIntegers)
{
    {
        const ComRef<IDispatch> service = WebService();
        const ComRef<IDispatch> byNumber = ToDispatch(CallMethod(service.get(), "GetObject", {"IIsWebServer", 1}));
        const ComRef<IDispatch> byText = ToDispatch(CallMethod(service.get(), "getobject", {"IIsWebServer", "7"}));
        CallProcedure(byText.get(), "START");
        EXPECT_GT(iis.LiveReferences(), 0);
    }
    EXPECT_EQ(iis.CallLog(),
              L"Create;IIsWebService(127.0.0.1/w3svc);IIsWebServer(#1);IIsWebServer(7);Start(7);");
}

TEST_F(Automation, ErrorTexts)
{
    const ComRef<IDispatch> service = WebService();
    const ComRef<IDispatch> site = ToDispatch(CallMethod(service.get(), "GetObject", {"IIsWebServer", 1}));

    EXPECT_EQ(ErrorText([&] { CallProcedure(site.get(), "Stop"); }),
              "Method 'Stop' not supported by automation object");

    // An exception's description, without trailing blanks, control characters and dots.
    {
        ScopedEnvironment description("FAKE_IIS_START_ERROR", "Site 1 cannot start: port in use. .\r\n\t ");
        EXPECT_EQ(ErrorText([&] { CallProcedure(site.get(), "Start"); }), "Site 1 cannot start: port in use");
    }
    // An exception without description: the text for its code, here one without a system text.
    {
        ScopedEnvironment code("FAKE_IIS_START_ERROR_CODE", "80040201");
        EXPECT_EQ(ErrorText([&] { CallProcedure(site.get(), "Start"); }), "OLE error 80040201");
    }
    // A failed call.
    {
        ScopedEnvironment code("FAKE_IIS_MISSING_SITE_CODE", "8000500d");
        EXPECT_EQ(ErrorText([&] { CallMethod(service.get(), "GetObject", {"IIsWebServer", "2"}); }),
                  "OLE error 8000500d");
    }
    iis.Unregister();
    EXPECT_EQ(ErrorText([] { CreateOleObject("IISNamespace"); }), "OLE error 800401f3");
}

TEST(OleErrorText, UsesTheSystemTextWithoutItsTrailingDotAndLineBreak)
{
    const HRESULT fileNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    char raw[512] = {};
    ASSERT_GT(::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               static_cast<DWORD>(fileNotFound), 0, raw, sizeof raw, nullptr),
              0u);
    const std::string text = OleErrorText(fileNotFound);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(std::string(raw).compare(0, text.size(), text), 0);
    EXPECT_NE(text.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(text.back()), ' ');

    EXPECT_EQ(OleErrorText(static_cast<HRESULT>(0x8004A0BC)), "OLE error 8004a0bc");
}

TEST(AutomationProperties, ReadsTextsAndNumbers)
{
    ComApartment apartment;
    FakeComServer excel("fake_excel.dll");
    {
        ScopedEnvironment version("FAKE_EXCEL_VERSION", "12.0");
        const ComRef<IDispatch> app = CreateOleObject("Excel.Application");
        const Variant text = GetProperty(app.get(), "Version");
        ASSERT_EQ(text.type(), VT_BSTR);
        EXPECT_STREQ(text.get().bstrVal, L"12.0");

        ScopedEnvironment number("FAKE_EXCEL_VERSION", "num:9.5");
        const Variant value = GetProperty(app.get(), "version");
        ASSERT_EQ(value.type(), VT_R8);
        EXPECT_EQ(value.get().dblVal, 9.5);
    }
    EXPECT_EQ(excel.LiveReferences(), 0);
}

}  // namespace
