// The Excel check against the fake "Excel.Application" server and the
// registry of the Wine prefix.
#include "checks/ExcelCheck.h"

#include "Fixtures.h"
#include "support/HandleCount.h"
#include "support/MessageBoxAnswerer.h"
#include "ui/unMsgDialog.h"
#include "util/Automation.h"
#include "util/Errors.h"
#include "util/WinHandles.h"
#include "util/unReg_File.h"

#include <gtest/gtest.h>

#include <sddl.h>

namespace {

const std::wstring kTooOld = L"要求 Excel 的版本至少是 XP 以上！";
const std::wstring kNoExcel = L"没有检测到 Excel，继续安装本系统前，请先安装 Excel ！";
const char kKey[] = "SoftWare\\Korvan";
const char kValue[] = "ShowLoginWhenOpenExcel";

// The raw registry value: its type and bytes, or type 0 when there is none.
struct RawValue {
    DWORD type = 0;
    std::string data;
};

RawValue ReadRaw(HKEY root)
{
    RawValue value;
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueA(root, kKey, kValue, RRF_RT_ANY | RRF_NOEXPAND, &value.type, buffer, &size) == ERROR_SUCCESS)
        value.data.assign(buffer, size);
    return value;
}

std::string ReadText(HKEY root)
{
    const RawValue value = ReadRaw(root);
    return value.type == REG_SZ ? std::string(value.data.c_str()) : std::string("<none>");
}

void WriteText(HKEY root, const char* text)
{
    ::RegSetKeyValueA(root, kKey, kValue, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

void DeleteValue(HKEY root)
{
    ::RegDeleteKeyValueA(root, kKey, kValue);
}

bool KeyExists(HKEY root)
{
    RegKey key;
    return ::RegOpenKeyExA(root, kKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Sets a security descriptor (SDDL) on the machine's product key.
void SetMachineKeySecurity(const wchar_t* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    RegKey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, WRITE_DAC, key.put()), ERROR_SUCCESS);
    EXPECT_EQ(::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    ::LocalFree(descriptor);
}

struct Outcome {
    bool result = false;
    std::vector<std::wstring> texts;
    int crosses = 0;
    size_t boxesBeforeCross = 0;
};

class ExcelCheckTest : public ::testing::Test {
protected:
    ComApartment apartment;
    FakeComServer excel{"fake_excel.dll"};
    ScopedEnvironment version{"FAKE_EXCEL_VERSION", "11.0"};

    void SetUp() override
    {
        WriteText(HKEY_LOCAL_MACHINE, "1");
        DeleteValue(HKEY_CURRENT_USER);
        // The first use of COM, of an error and of the message boxes opens what they keep.
        try {
            const ComRef<IDispatch> app = CreateOleObject("Excel.Application");
            GetProperty(app.get(), "NoSuchMember");
        } catch (const OleError&) {
        }
        excel.ClearCallLog();
        MessageBoxAnswerer answerer;
        ShowInfo("first", true, "box");
    }
    void TearDown() override { DeleteValue(HKEY_CURRENT_USER); }

    Outcome Check()
    {
        const DWORD handlesBefore = OpenHandleCount();
        Outcome outcome;
        {
            MessageBoxAnswerer answerer;
            outcome.result = CheckExcel([&] {
                if (outcome.crosses++ == 0) outcome.boxesBeforeCross = answerer.Seen().size();
            });
            for (const SeenMessageBox& box : answerer.Seen()) outcome.texts.push_back(box.text);
        }
        EXPECT_EQ(excel.LiveReferences(), 0);
        EXPECT_EQ(OpenHandleCount(), handlesBefore);
        return outcome;
    }
};

TEST_F(ExcelCheckTest, VersionsFromXpOnPassAndExcelIsToldToQuit)
{
    struct Case {
        const char* version;
        bool passes;
    };
    const Case cases[] = {{"9.0", false},   {"10.0", true},    {"11.0", true},    {"12.0", true},
                          {"num:9", false}, {"num:10", true},  {"num:9.6", true}, {"num:9.4", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        ScopedEnvironment excelVersion("FAKE_EXCEL_VERSION", c.version);
        excel.ClearCallLog();
        const Outcome outcome = Check();
        EXPECT_EQ(outcome.result, c.passes);
        if (c.passes) {
            EXPECT_TRUE(outcome.texts.empty());
            EXPECT_EQ(outcome.crosses, 0);
            EXPECT_EQ(excel.CallLog(), L"Create;Version[login=];Quit;");
        } else {
            EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kTooOld});
            EXPECT_EQ(outcome.crosses, 1);
            EXPECT_EQ(outcome.boxesBeforeCross, 0u);
            EXPECT_EQ(excel.CallLog(), L"Create;Version[login=];");
        }
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE), "0");
    }
}

TEST_F(ExcelCheckTest, UnreadableVersionOrMissingExcelIsReportedAsNoExcel)
{
    {
        ScopedEnvironment excelVersion("FAKE_EXCEL_VERSION", "eleven");
        const Outcome outcome = Check();
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kNoExcel});
    }
    excel.Unregister();
    WriteText(HKEY_LOCAL_MACHINE, "1");
    const Outcome outcome = Check();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kNoExcel});
    EXPECT_EQ(outcome.crosses, 1);
    EXPECT_EQ(outcome.boxesBeforeCross, 0u);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE), "0") << "written before Excel was looked for";
}

TEST_F(ExcelCheckTest, UserSettingIsOffWhileExcelStartsAndBackAfterAPass)
{
    WriteText(HKEY_CURRENT_USER, "1");
    EXPECT_TRUE(Check().result);
    EXPECT_EQ(excel.CallLog(), L"Create;Version[login=0];Quit;");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER), "1");

    ScopedEnvironment old("FAKE_EXCEL_VERSION", "9.0");
    EXPECT_FALSE(Check().result);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER), "0") << "a failed check leaves it off";
}

TEST_F(ExcelCheckTest, EmptyOrMissingUserSettingIsNeitherCreatedNorChanged)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    EXPECT_TRUE(Check().result);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER));

    WriteText(HKEY_CURRENT_USER, "");
    EXPECT_TRUE(Check().result);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER), "");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE), "0");
}

TEST_F(ExcelCheckTest, UserSettingThatIsNoTextStopsTheCheckBeforeExcel)
{
    const DWORD one = 1;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &one, sizeof one);
    const Outcome outcome = Check();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kNoExcel});
    EXPECT_EQ(excel.CallLog(), L"");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER).type, DWORD(REG_DWORD));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE), "0");
}

TEST_F(ExcelCheckTest, MachineSettingThatCannotBeWrittenStopsTheCheckBeforeExcel)
{
    WriteText(HKEY_CURRENT_USER, "1");
    SetMachineKeySecurity(L"D:P(A;;KR;;;WD)");  // read-only for everyone
    const Outcome outcome = Check();
    SetMachineKeySecurity(L"D:P(A;;KA;;;WD)");

    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kNoExcel});
    EXPECT_EQ(excel.CallLog(), L"");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE), "1");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER), "1");
}

}  // namespace
