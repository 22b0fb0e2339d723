#pragma once
// The number of open handles of this process. Wine's GetProcessHandleCount
// answers 0, so the handle table is probed instead; this works on Windows too.

#include <windows.h>

inline DWORD OpenHandleCount()
{
    DWORD count = 0, flags = 0;
    for (UINT_PTR h = 4; h < 0x10000; h += 4)
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++count;
    return count;
}
