// Renders the launcher's two windows to BMP files for the documentation:
//   launcher_screenshot.exe SUFFIX
// writes main-SUFFIX.bmp (the main window) and check-SUFFIX.bmp (the check
// dialog for the full install, the database and web server rows ticked and
// the Excel row crossed) into the current directory. The language follows the
// code page the program runs under. Used by tools/screenshots.sh.
#include "checks/unCheckCondition.h"
#include "launcher/unSetupMain.h"
#include "ui/Application.h"
#include "util/WinHandles.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Pump(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

// The whole window, frame included, as a 24-bit bottom-up BMP file.
bool SaveWindow(HWND wnd, const std::string& path)
{
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const HDC windowDc = ::GetWindowDC(wnd);
    MemoryDc memory(::CreateCompatibleDC(windowDc));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    GdiObject bitmap(::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        SelectObjectScope select(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    ::ReleaseDC(wnd, windowDc);

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
    std::fwrite(bits, 1, imageSize, out);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: launcher_screenshot SUFFIX\n");
        return 2;
    }
    const std::string suffix = argv[1];
    const ComApartment com;
    bool saved = true;

    const auto main = CreateForm<TfrmSetupMain>();
    Application().SetMainWindow(main->Handle());
    main->Show();
    Pump(500);
    saved = SaveWindow(main->Handle(), "main-" + suffix + ".bmp") && saved;

    // The check dialog as the user sees it during a full install whose Excel check fails.
    auto& checks = TfrmCheckCondition::CheckFunctions();
    checks.database = [](bool, const TfrmCheckCondition::ShowCross&) { return true; };
    checks.webServer = [](const TfrmCheckCondition::ShowCross&) { return true; };
    checks.excel = [&](const TfrmCheckCondition::ShowCross& showCross) {
        showCross();
        for (TForm* form : TForm::Forms())
            if (dynamic_cast<TfrmCheckCondition*>(form))
                saved = SaveWindow(form->Handle(), "check-" + suffix + ".bmp") && saved;
        return false;
    };
    CheckConditions(ikAll);
    return saved ? 0 : 1;
}
