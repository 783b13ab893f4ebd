#pragma once
// The one table of the system functions that Brindle binds at run time instead of importing,
// each named once with the Windows version that brings it. They are of two kinds:
// - newer than the oldest Windows that Brindle supports (XP SP3): a system without one gets
//   null, and its caller does without;
// - on that Windows, in a library that a start which only hands its file over never needs (GDI,
//   the shell, the common controls and dialogs): under Wine each costs tens of milliseconds to
//   load, so it is loaded on the first call and stays loaded.
// Everything Brindle imports is on src/platform/floor-imports.txt; nothing here may be added
// there. A function that the system's headers declare for the floor keeps their type; the
// newer ones are typed here.

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

namespace platform {

// The Windows versions that bring a function (as its documentation's "Minimum supported
// client" gives it; it names nothing older than Windows 2000).
enum class Since { Windows2000, WindowsXP, WindowsXPSP1, Windows10v1607, WineOnly };

// `name` from the system library `library`, loading the library on the first call; null when
// either is missing.
FARPROC FindSystemFunction(const char* library, const char* name);

template <class Function> struct SystemFunction {
    const char* library;
    const char* name;
    Since since;

    // The function, or null when this system lacks it.
    Function* Get() const {
        return reinterpret_cast<Function*>(
            reinterpret_cast<void*>(FindSystemFunction(library, name)));
    }
};

// Newer than the floor.
inline constexpr SystemFunction<BOOL WINAPI(LPCSTR)> setDllDirectory{
    "kernel32.dll", "SetDllDirectoryA", Since::WindowsXPSP1};
inline constexpr SystemFunction<UINT WINAPI(HWND)> getDpiForWindow{"user32.dll", "GetDpiForWindow",
                                                                   Since::Windows10v1607};
inline constexpr SystemFunction<int WINAPI(int, UINT)> getSystemMetricsForDpi{
    "user32.dll", "GetSystemMetricsForDpi", Since::Windows10v1607};
// Wine's own: it tells Wine from Windows.
inline constexpr SystemFunction<const char * CDECL()> wineGetVersion{
    "ntdll.dll", "wine_get_version", Since::WineOnly};

// The common controls: the list view's classes.
inline constexpr SystemFunction<decltype(::InitCommonControlsEx)> initCommonControlsEx{
    "comctl32.dll", "InitCommonControlsEx", Since::Windows2000};

// The common dialogs.
inline constexpr SystemFunction<decltype(::GetOpenFileNameW)> getOpenFileName{
    "comdlg32.dll", "GetOpenFileNameW", Since::Windows2000};

// The shell: the tray icon and the programs' icons.
inline constexpr SystemFunction<decltype(::Shell_NotifyIconW)> shellNotifyIcon{
    "shell32.dll", "Shell_NotifyIconW", Since::Windows2000};
inline constexpr SystemFunction<decltype(::ExtractIconExW)> extractIconEx{
    "shell32.dll", "ExtractIconExW", Since::Windows2000};

// GDI: the screen's DPI and the menu's images.
inline constexpr SystemFunction<decltype(::GetDeviceCaps)> getDeviceCaps{
    "gdi32.dll", "GetDeviceCaps", Since::Windows2000};
inline constexpr SystemFunction<decltype(::CreateCompatibleDC)> createCompatibleDC{
    "gdi32.dll", "CreateCompatibleDC", Since::Windows2000};
inline constexpr SystemFunction<decltype(::CreateDIBSection)> createDIBSection{
    "gdi32.dll", "CreateDIBSection", Since::Windows2000};
inline constexpr SystemFunction<decltype(::SelectObject)> selectObject{"gdi32.dll", "SelectObject",
                                                                       Since::Windows2000};
inline constexpr SystemFunction<decltype(::DeleteDC)> deleteDC{"gdi32.dll", "DeleteDC",
                                                               Since::Windows2000};
inline constexpr SystemFunction<decltype(::DeleteObject)> deleteObject{"gdi32.dll", "DeleteObject",
                                                                       Since::Windows2000};
inline constexpr SystemFunction<decltype(::GetObjectA)> getObject{"gdi32.dll", "GetObjectA",
                                                                  Since::Windows2000};
inline constexpr SystemFunction<decltype(::GdiFlush)> gdiFlush{"gdi32.dll", "GdiFlush",
                                                               Since::Windows2000};
inline constexpr SystemFunction<decltype(::GdiAlphaBlend)> gdiAlphaBlend{
    "gdi32.dll", "GdiAlphaBlend", Since::Windows2000};

} // namespace platform
