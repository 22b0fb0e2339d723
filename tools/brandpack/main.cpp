// brandpack: builds and inspects Brand.dat, the product-information file the
// setup launcher brands itself from.
//
//   brandpack pack --title TEXT --company TEXT --addin TEXT --banner FILE.bmp
//                  [--header-text TEXT] -o Brand.dat
//   brandpack show Brand.dat [--json] [--banner-out FILE.bmp]
//
// Texts are given and shown in UTF-8 and stored as GB2312. Exit status: 0 done,
// 1 an input could not be read or an output written, 2 wrong usage.

#include "Gb2312.h"

#include "util/BitmapInfo.h"
#include "util/BrandContainer.h"
#include "util/DataPacket.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// Field names of the product record and the widths the tool gives them.
constexpr const char* kTitleField = "a10";
constexpr const char* kCompanyField = "a16";
constexpr const char* kAddinField = "a18";
constexpr const char* kBannerField = "d3";
constexpr std::size_t kMaxTextBytes = 8192;  // the longest string field a data set keeps
constexpr int kBannerWidth = 585, kBannerHeight = 68;

const char* const kPackUsage =
    "usage: brandpack pack --title TEXT --company TEXT --addin TEXT --banner FILE.bmp\n"
    "                      [--header-text TEXT] -o Brand.dat\n"
    "Writes Brand.dat: the texts (UTF-8, stored as GB2312) and the banner bitmap\n"
    "(24 bits per pixel, 585 x 68 pixels expected).\n";
const char* const kShowUsage =
    "usage: brandpack show Brand.dat [--json] [--banner-out FILE.bmp]\n"
    "Reads Brand.dat as the launcher does and prints its header text, title,\n"
    "company, add-in name and banner size; --banner-out saves the banner.\n";
const char* const kUsage =
    "usage: brandpack pack ...   write a Brand.dat\n"
    "       brandpack show ...   print what a Brand.dat holds\n"
    "Run 'brandpack pack --help' or 'brandpack show --help' for the options.\n";

// Wrong usage: exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::filesystem::path PathOf(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

Bytes ReadFile(const std::string& name)
{
    std::ifstream in(PathOf(name), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read '" + name + "': " + std::strerror(errno));
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& name, const Bytes& bytes)
{
    std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write '" + name + "': " + std::strerror(errno));
}

// Options of the form --name VALUE and flags of the form --name; anything
// else is a positional argument.
struct Options {
    std::map<std::string, std::string> values;
    std::vector<std::string> flags;
    std::vector<std::string> positional;

    bool Has(const std::string& flag) const { return std::find(flags.begin(), flags.end(), flag) != flags.end(); }
    std::optional<std::string> Value(const std::string& name) const
    {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::string Required(const std::string& name) const
    {
        if (auto value = Value(name)) return *value;
        throw UsageError("missing " + name);
    }
};

Options ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& valueNames,
                     const std::vector<std::string>& flagNames)
{
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool known = [&](const std::vector<std::string>& names) {
            return std::find(names.begin(), names.end(), arg) != names.end();
        }(valueNames);
        if (known) {
            if (i + 1 == args.size()) throw UsageError(arg + " needs a value");
            if (!options.values.emplace(arg, args[++i]).second) throw UsageError(arg + " is given twice");
        } else if (std::find(flagNames.begin(), flagNames.end(), arg) != flagNames.end()) {
            options.flags.push_back(arg);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            options.positional.push_back(arg);
        }
    }
    return options;
}

std::string StoredText(const std::string& what, const std::string& utf8)
{
    std::string gb;
    try {
        gb = Utf8ToGb2312(utf8);
    } catch (const std::exception& e) {
        throw std::runtime_error(what + ": " + e.what());
    }
    if (gb.size() > kMaxTextBytes)
        throw std::runtime_error(what + " is longer than " + std::to_string(kMaxTextBytes) + " bytes");
    return gb;
}

std::uint16_t WidthFor(const std::string& text, std::size_t usual)
{
    return static_cast<std::uint16_t>(std::max(text.size(), usual));
}

int Pack(const std::vector<std::string>& args)
{
    const Options options =
        ParseOptions(args, {"--title", "--company", "--addin", "--banner", "--header-text", "-o"}, {"--help"});
    if (options.Has("--help")) {
        std::cout << kPackUsage;
        return 0;
    }
    if (!options.positional.empty()) throw UsageError("unexpected argument " + options.positional.front());
    const std::string title = StoredText("the title", options.Required("--title"));
    const std::string company = StoredText("the company", options.Required("--company"));
    const std::string addin = StoredText("the add-in name", options.Required("--addin"));
    const std::string bannerFile = options.Required("--banner");
    const std::string output = options.Required("-o");
    std::optional<std::string> headerText;
    if (auto text = options.Value("--header-text")) headerText = StoredText("the header text", *text);

    const Bytes banner = ReadFile(bannerFile);
    const BitmapInfo info = ValidateBitmap(banner);
    if (info.bits != 24)
        std::cerr << "brandpack: warning: the banner has " << info.bits << " bits per pixel; 24 are expected\n";
    if (info.width != kBannerWidth || info.height != kBannerHeight)
        std::cerr << "brandpack: warning: the banner is " << info.width << " x " << info.height
                  << " pixels; the launcher's banner is " << kBannerWidth << " x " << kBannerHeight << "\n";

    const std::vector<PacketFieldDef> fields{
        {kTitleField, PacketFieldType::String, WidthFor(title, 100)},
        {kCompanyField, PacketFieldType::String, WidthFor(company, 100)},
        {kAddinField, PacketFieldType::String, WidthFor(addin, 50)},
        {kBannerField, PacketFieldType::Blob, 0},
    };
    const PacketRow row{title, company, addin, std::string(banner.begin(), banner.end())};
    const Bytes packet = WriteDataPacket(fields, std::span<const PacketRow>(&row, 1));
    WriteFile(output, ZipContainer(packet, headerText ? std::optional<std::string_view>(*headerText) : std::nullopt));
    return 0;
}

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int Show(const std::vector<std::string>& args)
{
    const Options options = ParseOptions(args, {"--banner-out"}, {"--json", "--help"});
    if (options.Has("--help")) {
        std::cout << kShowUsage;
        return 0;
    }
    if (options.positional.size() != 1) throw UsageError("show needs one Brand.dat file");

    const std::string& file = options.positional[0];
    const Bytes contents = ReadFile(file);
    std::string headerText, title, company, addin;
    Bytes banner;
    BitmapInfo info;
    try {
        const DataPacket packet(UnzipContainer(contents, headerText));
        title = Gb2312ToUtf8(packet.Text(kTitleField));
        company = Gb2312ToUtf8(packet.Text(kCompanyField));
        addin = Gb2312ToUtf8(packet.Text(kAddinField));
        const auto bytes = packet.Bytes(kBannerField);
        banner.assign(bytes.begin(), bytes.end());
        info = ValidateBitmap(banner);
        headerText = Gb2312ToUtf8(headerText);
    } catch (const std::exception& e) {
        throw std::runtime_error(file + ": " + e.what());
    }
    if (auto out = options.Value("--banner-out")) WriteFile(*out, banner);

    std::ostringstream out;
    if (options.Has("--json")) {
        out << "{\"title\":" << JsonString(title) << ",\"company\":" << JsonString(company)
            << ",\"addin\":" << JsonString(addin) << ",\"header_text\":" << JsonString(headerText)
            << ",\"banner\":{\"width\":" << info.width << ",\"height\":" << info.height << ",\"bits\":" << info.bits
            << ",\"bytes\":" << info.bytes << "}}\n";
    } else {
        out << "Header text: " << headerText << "\n"
            << "Title:       " << title << "\n"
            << "Company:     " << company << "\n"
            << "Add-in:      " << addin << "\n"
            << "Banner:      " << info.width << " x " << info.height << " pixels, " << info.bits
            << " bits per pixel, " << info.bytes << " bytes\n";
    }
    std::cout << out.str() << std::flush;
    return 0;
}

// The arguments in UTF-8 (on Windows from the wide command line, so that
// texts outside the ANSI code page survive).
std::vector<std::string> Arguments(int argc, char** argv)
{
#ifdef _WIN32
    (void)argc;
    (void)argv;
    ::SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i) {
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(std::max(length, 1)), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), length, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        args.push_back(std::move(arg));
    }
    ::LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

int Run(const std::vector<std::string>& args)
{
    if (args.empty()) throw UsageError("no command");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "pack") return Pack(rest);
    if (command == "show") return Show(rest);
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    throw UsageError("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(Arguments(argc, argv));
    } catch (const UsageError& e) {
        std::cerr << "brandpack: " << e.what() << " (see 'brandpack --help')\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "brandpack: " << e.what() << "\n";
        return 1;
    }
}
