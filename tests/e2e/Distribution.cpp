#include "Distribution.h"

#include "ui/unGB2BIG5.h"
#include "util/BrandContainer.h"
#include "util/DataPacket.h"
#include "util/unFileAndDir.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kHandOverKey[] = L"SoftWare\\Korvan";

fs::path BuiltFile(const char* name)
{
    return fs::path(Wide(ExeDir())) / name;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::wstring Wide(const std::string& utf8)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::vector<std::uint8_t> SolidBitmap(int width, int height, COLORREF color)
{
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> bmp;
    bmp.push_back('B');
    bmp.push_back('M');
    Put32(bmp, 54 + imageSize);
    Put32(bmp, 0);
    Put32(bmp, 54);
    Put32(bmp, 40);
    Put32(bmp, static_cast<std::uint32_t>(width));
    Put32(bmp, static_cast<std::uint32_t>(height));
    Put16(bmp, 1);
    Put16(bmp, 24);
    Put32(bmp, 0);
    Put32(bmp, imageSize);
    Put32(bmp, 2835);
    Put32(bmp, 2835);
    Put32(bmp, 0);
    Put32(bmp, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bmp.push_back(GetBValue(color));
            bmp.push_back(GetGValue(color));
            bmp.push_back(GetRValue(color));
        }
        bmp.resize(bmp.size() + (stride - static_cast<std::uint32_t>(width) * 3));
    }
    return bmp;
}

std::vector<std::uint8_t> BrandFile(const Product& product)
{
    const std::vector<PacketFieldDef> fields{
        {"a10", PacketFieldType::String, 100},
        {"a16", PacketFieldType::String, 100},
        {"a18", PacketFieldType::String, 50},
        {"d3", PacketFieldType::Blob, 0},
    };
    const std::vector<std::uint8_t> banner =
        product.banner.empty() ? SolidBitmap(585, 68, kBannerColor) : product.banner;
    const PacketRow row{Gb(product.title), Gb(product.company), Gb(product.addIn),
                        std::string(banner.begin(), banner.end())};
    return ZipContainer(WriteDataPacket(fields, std::span<const PacketRow>(&row, 1)), std::nullopt);
}

Distribution::Distribution()
{
    static std::atomic<int> serial{0};
    folder_ = fs::temp_directory_path() /
              (L"e2e_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(serial++));
    fs::remove_all(folder_);
    fs::create_directories(Bin());
    fs::copy_file(BuiltFile("Setup.exe"), folder_ / L"Setup.exe");
    fs::copy_file(BuiltFile("rtm.dll"), Bin() / L"rtm.e__");
    for (const char* installer : {"TierSetup.exe", "PortalSetup.exe", "DeskSetup.exe"})
        fs::copy_file(BuiltFile(installer), Bin() / installer);
    WriteBin(L"Brand.dat", BrandFile(Product{}));
}

Distribution::~Distribution()
{
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void Distribution::WriteBin(const std::wstring& name, const std::vector<std::uint8_t>& bytes) const
{
    std::ofstream out(Bin() / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write into the distribution folder");
}

void Distribution::RemoveBin(const std::wstring& name) const
{
    fs::remove(Bin() / name);
}

std::unique_ptr<LauncherProcess> Distribution::Start(const std::map<std::wstring, std::wstring>& extraEnv,
                                                     const std::wstring& installerSeconds) const
{
    std::map<std::wstring, std::wstring> env{{L"STANDIN_LOG", InstallerLog().wstring()},
                                             {L"STANDIN_SECONDS", installerSeconds}};
    for (const auto& [name, value] : extraEnv) env[name] = value;
    // Started from another folder: the launcher finds bin\ beside itself.
    return std::make_unique<LauncherProcess>((folder_ / L"Setup.exe").wstring(), fs::temp_directory_path().wstring(),
                                             env);
}

std::vector<std::wstring> Distribution::InstallerRuns() const
{
    std::ifstream in(InstallerLog(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(Wide(text.substr(start, end - start)));
    return lines;
}

HWND WaitForMainWindow(const LauncherProcess& process, std::chrono::milliseconds timeout)
{
    return process.WaitForWindow(L"LauncherForm", timeout);
}

namespace {

struct ControlAtContext {
    HWND form;
    POINT at;
    HWND found;
};

BOOL CALLBACK MatchControlAt(HWND wnd, LPARAM param)
{
    auto* ctx = reinterpret_cast<ControlAtContext*>(param);
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ctx->form, reinterpret_cast<POINT*>(&rect), 2);
    if (::GetParent(wnd) == ctx->form && rect.left == ctx->at.x && rect.top == ctx->at.y) {
        ctx->found = wnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND ControlAt(HWND form, int left, int top)
{
    ControlAtContext ctx{form, {left, top}, nullptr};
    ::EnumChildWindows(form, MatchControlAt, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

void RemoveHandOverKey()
{
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHandOverKey);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kHandOverKey);
}

std::optional<std::wstring> HandOverValue(const wchar_t* name)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kHandOverKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

void SetHandOverValue(const wchar_t* name, const std::wstring& value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kHandOverKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create the hand-over key");
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}
