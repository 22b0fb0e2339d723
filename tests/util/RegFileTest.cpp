// The registry string helpers against Wine's real registry. Every test works
// below its own key, Software\LauncherTests\<test>.cp<code page>, so that the
// runs under the three code pages can go in parallel; the key is removed
// before and after.
#include "util/unReg_File.h"

#include "util/Errors.h"
#include "util/WinHandles.h"
#include "support/HandleCount.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

class RegFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        base_ = std::string("Software\\LauncherTests\\") + info->name() + ".cp" + std::to_string(::GetACP());
        key_ = base_ + "\\SoftWare\\Korvan";
        Clean();
    }
    void TearDown() override { Clean(); }

    void Clean()
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) ::RegDeleteTreeA(root, base_.c_str());
    }

    static bool KeyExists(HKEY root, const std::string& key)
    {
        RegKey handle;
        return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
    }

    // The raw value: type and bytes; type 0 when missing.
    static std::pair<DWORD, std::string> Raw(HKEY root, const std::string& key, const std::string& name)
    {
        RegKey handle;
        DWORD type = 0, size = 0;
        if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS ||
            ::RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return {0, ""};
        std::string data(size, '\0');
        ::RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        return {type, data};
    }

    static void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
                       DWORD size)
    {
        RegKey handle;
        ASSERT_EQ(::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, handle.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExA(handle.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    static std::string ErrorOf(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const RegistryError& error) {
            return error.what();
        }
        return "(no error)";
    }

    std::string base_, key_;
};

TEST_F(RegFile, WriteCreatesTheWholePathAndStoresRegSz)
{
    // A text in the system's ANSI code page, Chinese where the code page has it.
    const std::string folder = "C:\\Program Files\\" + std::string(::GetACP() == 1252 ? "Korvan \xE9" : "\xD6\xD0");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegWriteStr(root, key_ + "\\", "COMPart", folder);  // trailing backslash as callers pass it
        EXPECT_EQ(Raw(root, key_, "COMPart"), std::make_pair(DWORD{REG_SZ}, folder + '\0'));
        EXPECT_EQ(RegReadStr(root, key_ + "\\", "COMPart"), folder);
        RegWriteStr(root, key_, "COMPart", "0");  // overwrites
        EXPECT_EQ(RegReadStr(root, key_, "COMPart"), "0");
    }
}

TEST_F(RegFile, EmptyTextIsStoredAsOneZeroByteAndReadsLikeAMissingValue)
{
    RegWriteStr(HKEY_LOCAL_MACHINE, key_, "ALLSetup", "");
    EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, key_, "ALLSetup"), std::make_pair(DWORD{REG_SZ}, std::string(1, '\0')));
    EXPECT_EQ(RegReadStr(HKEY_LOCAL_MACHINE, key_, "ALLSetup"), "");
    EXPECT_EQ(RegReadStr(HKEY_LOCAL_MACHINE, key_, "NoSuchValue"), "");
}

TEST_F(RegFile, ReadingBelowAMissingKeyGivesEmptyAndCreatesNothing)
{
    EXPECT_EQ(RegReadStr(HKEY_LOCAL_MACHINE, key_, "ALLSetup"), "");
    EXPECT_EQ(RegReadUserStr(key_, "ShowLoginWhenOpenExcel"), "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, base_));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base_));
}

TEST_F(RegFile, ReadsStoredTextsUpToTheirFirstZeroByte)
{
    const char unterminated[] = {'a', 'b', 'c'};
    SetRaw(HKEY_CURRENT_USER, key_, "NoTerminator", REG_SZ, unterminated, sizeof unterminated);
    const char embedded[] = "one\0two";
    SetRaw(HKEY_CURRENT_USER, key_, "Embedded", REG_SZ, embedded, sizeof embedded);
    const char expand[] = "%SystemRoot%\\x";
    SetRaw(HKEY_CURRENT_USER, key_, "Expand", REG_EXPAND_SZ, expand, sizeof expand);

    EXPECT_EQ(RegReadUserStr(key_, "NoTerminator"), "abc");
    EXPECT_EQ(RegReadUserStr(key_, "Embedded"), "one");
    EXPECT_EQ(RegReadUserStr(key_, "Expand"), "%SystemRoot%\\x");  // not expanded
}

TEST_F(RegFile, OtherValueTypesRaiseInvalidDataType)
{
    const DWORD one = 1;
    SetRaw(HKEY_LOCAL_MACHINE, key_, "ShowLoginWhenOpenExcel", REG_DWORD, &one, sizeof one);
    SetRaw(HKEY_LOCAL_MACHINE, key_, "Blob", REG_BINARY, "xy", 2);
    EXPECT_EQ(ErrorOf([&] { RegReadStr(HKEY_LOCAL_MACHINE, key_, "ShowLoginWhenOpenExcel"); }),
              "Invalid data type for 'ShowLoginWhenOpenExcel'");
    EXPECT_EQ(ErrorOf([&] { RegReadStr(HKEY_LOCAL_MACHINE, key_, "Blob"); }), "Invalid data type for 'Blob'");
}

TEST_F(RegFile, UserFunctionsUseTheCurrentUserOnly)
{
    RegWriteStr(HKEY_LOCAL_MACHINE, key_, "ShowLoginWhenOpenExcel", "machine");
    RegWriteUserStr(key_, "ShowLoginWhenOpenExcel", "user");
    EXPECT_EQ(RegReadUserStr(key_, "ShowLoginWhenOpenExcel"), "user");
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, key_, "ShowLoginWhenOpenExcel").second, std::string("user") + '\0');
    EXPECT_EQ(RegReadStr(HKEY_LOCAL_MACHINE, key_, "ShowLoginWhenOpenExcel"), "machine");
}

// Makes an existing key read-only for everyone while in scope (Wine enforces a
// key's DACL when the key is opened, so creating it for writing fails with 5).
class ReadOnlyKey {
public:
    ReadOnlyKey(HKEY root, const std::string& key) : root_(root), key_(key) { Apply("D:P(A;;KR;;;WD)"); }
    ~ReadOnlyKey() { Apply("D:P(A;;KA;;;WD)"); }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

private:
    void Apply(const char* sddl)
    {
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr)) return;
        RegKey handle;
        if (::RegOpenKeyExA(root_, key_.c_str(), 0, WRITE_DAC, handle.put()) == ERROR_SUCCESS)
            ::RegSetKeySecurity(handle.get(), DACL_SECURITY_INFORMATION, sd);
        ::LocalFree(sd);
    }
    HKEY root_;
    std::string key_;
};

TEST_F(RegFile, RefusedWriteRaisesAndLeavesTheRegistryUnchanged)
{
    RegWriteStr(HKEY_LOCAL_MACHINE, key_, "ALLSetup", "1");
    {
        ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, key_);
        EXPECT_EQ(ErrorOf([&] { RegWriteStr(HKEY_LOCAL_MACHINE, key_, "ALLSetup", "0"); }),
                  "Failed to set data for 'ALLSetup'");
        EXPECT_EQ(ErrorOf([&] { RegWriteStr(HKEY_LOCAL_MACHINE, key_, "COMPart", "C:\\x"); }),
                  "Failed to set data for 'COMPart'");
        EXPECT_EQ(RegReadStr(HKEY_LOCAL_MACHINE, key_, "ALLSetup"), "1");  // reading still works
    }
    EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, key_, "ALLSetup").second, std::string("1") + '\0');
    EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, key_, "COMPart").first, DWORD{0});
}

TEST_F(RegFile, NoHandleOutlivesACallOnAnyPath)
{
    const DWORD number = 7;
    SetRaw(HKEY_CURRENT_USER, key_, "Number", REG_DWORD, &number, sizeof number);
    RegWriteStr(HKEY_CURRENT_USER, key_, "Text", "x");
    RegWriteStr(HKEY_LOCAL_MACHINE, key_, "Locked", "1");
    // The first exception of the process makes the runtime allocate what it
    // keeps for good; that is not ours to count.
    ErrorOf([] { throw RegistryError("first"); });

    const DWORD before = OpenHandleCount();
    {  // the probe sees registry handles
        RegKey open;
        ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, open.put()), ERROR_SUCCESS);
        ASSERT_EQ(OpenHandleCount(), before + 1);
    }
    const struct {
        const char* path;
        std::function<void()> call;
    } paths[] = {
        {"write", [&] { RegWriteUserStr(key_, "Text", "y"); }},
        {"read", [&] { RegReadUserStr(key_, "Text"); }},
        {"read missing key", [&] { RegReadUserStr(key_ + "\\Missing", "Text"); }},
        {"read missing value", [&] { RegReadUserStr(key_, "Missing"); }},
        {"read wrong type", [&] { RegReadUserStr(key_, "Number"); }},
        {"refused write",
         [&] {
             ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, key_);
             RegWriteStr(HKEY_LOCAL_MACHINE, key_, "Locked", "0");
         }},
    };
    for (const auto& p : paths) {
        try {
            p.call();
        } catch (const RegistryError&) {
        }
        EXPECT_EQ(OpenHandleCount(), before) << p.path;
    }
}

}  // namespace
