// A distribution whose product-information file or runtime copy is missing or
// damaged: the launcher tells so and ends, and leaves the system alone where
// it cannot deploy the runtime.
#include "Distribution.h"

#include "util/BrandContainer.h"
#include "util/DataPacket.h"
#include "util/unFileAndDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::wstring kMissingFile = L"缺少文件，程序结束运行！\r\n";
const std::wstring kCaption = L"提示";

std::filesystem::path SystemMidas()
{
    return std::filesystem::path(Wide(GetSystemDir())) / L"midas.dll";
}

class E2eStartupFailure : public ::testing::Test {
protected:
    void SetUp() override { RemoveHandOverKey(); }
    void TearDown() override { RemoveHandOverKey(); }

    // Answers the boxes the launcher shows until it ends; their texts.
    static std::vector<std::wstring> MessagesUntilExit(LauncherProcess& launcher)
    {
        std::vector<std::wstring> texts;
        while (texts.size() < 5) {
            // The next box, or the end of the program.
            WaitUntil([&] { return !launcher.Running() || launcher.WaitForWindow(L"#32770", 0ms); }, 10s);
            if (!launcher.Running()) break;
            const auto box = AnswerMessageBox(launcher, IDOK, 1s);
            if (!box) break;
            EXPECT_EQ(box->caption, kCaption);
            texts.push_back(box->text);
        }
        EXPECT_TRUE(launcher.WaitForExit(10s)) << "the launcher did not end";
        return texts;
    }
};

TEST_F(E2eStartupFailure, MissingBrandDatIsReportedTwiceAndEndsTheProgram)
{
    Distribution dist;
    dist.RemoveBin(L"Brand.dat");
    const auto launcher = dist.Start();
    const std::vector<std::wstring> texts = MessagesUntilExit(*launcher);

    ASSERT_GE(texts.size(), 1u);
    EXPECT_EQ(texts[0], kMissingFile);
    ASSERT_EQ(texts.size(), 2u) << "one message only";
    const std::wstring loadFailure = L"Cannot open file \"" + (dist.Bin() / L"Brand.dat").wstring() + L"\".";
    EXPECT_EQ(texts[1].substr(0, kMissingFile.size() + loadFailure.size()), kMissingFile + loadFailure)
        << "second message: " << texts[1].size();
    EXPECT_TRUE(dist.InstallerRuns().empty());
}

TEST_F(E2eStartupFailure, MissingRuntimeCopyEndsTheProgramWithoutTouchingTheSystemDirectory)
{
    Distribution dist;
    dist.RemoveBin(L"rtm.e__");
    std::error_code ignored;
    std::filesystem::remove(SystemMidas(), ignored);
    ASSERT_FALSE(std::filesystem::exists(SystemMidas()));

    const auto launcher = dist.Start();
    const std::vector<std::wstring> texts = MessagesUntilExit(*launcher);

    ASSERT_EQ(texts.size(), 1u);
    const std::wstring loadFailure = L"Cannot open file \"" + (dist.Bin() / L"rtm.e__").wstring() + L"\".";
    EXPECT_EQ(texts[0].substr(0, kMissingFile.size() + loadFailure.size()), kMissingFile + loadFailure);
    EXPECT_FALSE(std::filesystem::exists(SystemMidas()));
}

TEST_F(E2eStartupFailure, RuntimeIsDeployedAtEveryStart)
{
    std::error_code ignored;
    std::filesystem::remove(SystemMidas(), ignored);
    Distribution dist;
    {
        const auto launcher = dist.Start();
        ASSERT_TRUE(WaitForMainWindow(*launcher));
    }
    EXPECT_EQ(std::filesystem::file_size(SystemMidas()), std::filesystem::file_size(dist.Bin() / L"rtm.e__"));
}

std::vector<std::uint8_t> WithoutField(const char* name)
{
    std::vector<PacketFieldDef> fields{{"a10", PacketFieldType::String, 20},
                                       {"a16", PacketFieldType::String, 20},
                                       {"a18", PacketFieldType::String, 20},
                                       {"d3", PacketFieldType::Blob, 0}};
    const std::vector<std::uint8_t> banner = SolidBitmap(585, 68, kBannerColor);
    PacketRow row{std::string("T"), std::string("C"), std::string("A"), std::string(banner.begin(), banner.end())};
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) {
            fields.erase(fields.begin() + static_cast<long>(i));
            row.erase(row.begin() + static_cast<long>(i));
            break;
        }
    return ZipContainer(WriteDataPacket(fields, std::span<const PacketRow>(&row, 1)), std::nullopt);
}

TEST_F(E2eStartupFailure, DamagedBrandDatShowsTheErrorAndEndsTheProgram)
{
    const std::vector<std::uint8_t> good = BrandFile(Product{});
    Product notBitmap;
    notBitmap.banner = {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'};
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        std::wstring detail;  // the message's text after the first line; a prefix when prefixOnly
        bool prefixOnly;
    } cases[] = {
        {"not zlib", {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0}, L"Error", false},
        {"truncated", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2)),
         L"The container ends before the end of its payload", false},
        {"no a10", WithoutField("a10"), L"Field 'a10' not found", false},
        {"no d3", WithoutField("d3"), L"Field 'd3' not found", false},
        {"d3 not a bitmap", BrandFile(notBitmap), L"The banner is not a valid bitmap: ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Distribution dist;
        dist.WriteBin(L"Brand.dat", c.file);
        const auto launcher = dist.Start();
        const std::vector<std::wstring> texts = MessagesUntilExit(*launcher);
        ASSERT_EQ(texts.size(), 1u);
        if (c.prefixOnly)
            EXPECT_EQ(texts[0].substr(0, kMissingFile.size() + c.detail.size()), kMissingFile + c.detail)
                << texts[0].size();
        else
            EXPECT_EQ(texts[0], kMissingFile + c.detail);
    }
}

}  // namespace
