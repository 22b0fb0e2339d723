#pragma once
// A distribution folder of its own for each end-to-end test: Setup.exe and
// its bin\ folder (Brand.dat, the runtime stand-in as rtm.e__, the three
// stand-in installers), in a fresh temporary folder removed afterwards.

#include "LauncherProcess.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The product of a Brand.dat; texts in UTF-8, written as GB2312.
struct Product {
    std::string title = "星河报表";
    std::string company = "星河软件有限公司";
    std::string addIn = "报表助手";
    std::vector<std::uint8_t> banner;  // empty: a 585 x 68 banner of BannerColor
};

constexpr COLORREF kBannerColor = RGB(0x20, 0x60, 0xC0);

// The bytes of a 24-bit bottom-up BMP file of one colour.
std::vector<std::uint8_t> SolidBitmap(int width, int height, COLORREF color);
// A complete Brand.dat for the product.
std::vector<std::uint8_t> BrandFile(const Product& product);

class Distribution {
public:
    Distribution();  // complete, with the default product
    ~Distribution();
    Distribution(const Distribution&) = delete;
    Distribution& operator=(const Distribution&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path Bin() const { return folder_ / L"bin"; }
    std::filesystem::path InstallerLog() const { return folder_ / L"installers.log"; }
    void WriteBin(const std::wstring& name, const std::vector<std::uint8_t>& bytes) const;
    void RemoveBin(const std::wstring& name) const;

    // Starts Setup.exe with the stand-ins logging to InstallerLog() and
    // taking installerSeconds, plus extraEnv.
    std::unique_ptr<LauncherProcess> Start(const std::map<std::wstring, std::wstring>& extraEnv = {},
                                           const std::wstring& installerSeconds = L"0.3") const;

    // The installers' log lines ("<exe>|<parameters>"), in order.
    std::vector<std::wstring> InstallerRuns() const;

private:
    std::filesystem::path folder_;
};

// The launcher's main window once shown, or null.
HWND WaitForMainWindow(const LauncherProcess& process, std::chrono::milliseconds timeout = 20s);
// The control of the main window at the given client position (its design-time left and top).
HWND ControlAt(HWND form, int left, int top);

// HKLM\SoftWare\Korvan, where the launcher and the installers hand over.
void RemoveHandOverKey();
std::optional<std::wstring> HandOverValue(const wchar_t* name);
void SetHandOverValue(const wchar_t* name, const std::wstring& value);

std::wstring Wide(const std::string& utf8);
