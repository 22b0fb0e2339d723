// Program entry of Setup.exe.
#include "launcher/unSetupMain.h"
#include "ui/Application.h"
#include "util/WinHandles.h"

#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

// DLLs come from the system directory only: a DLL placed beside Setup.exe on
// the distribution medium is never loaded by name. SetDefaultDllDirectories
// exists from Windows 8 (and Windows 7 with KB2533623), so it is looked up.
void RestrictDllSearch()
{
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll")) {
        const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    // The automation of the checks needs a single-threaded apartment on this thread.
    const ComApartment com;
    Application().Guard([] {
        const auto frmSetupMain = CreateForm<TfrmSetupMain>();
        Application().SetMainWindow(frmSetupMain->Handle());
        frmSetupMain->Show();
        Application().Run();
    });
    return 0;
}
