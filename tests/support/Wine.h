#pragma once
// Whether this Windows program runs under Wine, whose sockets do not do all
// that a Windows kernel's do: the few tests of those behaviours say so and
// skip there (and run on Windows itself and on Linux).
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
inline bool underWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
#else
inline bool underWine() { return false; }
#endif
