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
#include <shlwapi.h>

#include <atomic>

namespace platform {

// `name` from the system library `library`, loading the library on the first call; null when
// either is missing.
FARPROC FindSystemFunction(const char* library, const char* name);

// One binding: the function is looked up on the first call of Get, and that answer, found or
// not, is kept for the process's life. Threads that race to look it up find the same answer.
template <class Function> class SystemFunction {
  public:
    constexpr SystemFunction(const char* library, const char* name)
        : library(library), name(name) {}
    SystemFunction(const SystemFunction&) = delete;
    SystemFunction& operator=(const SystemFunction&) = delete;

    // The function, or null when this system lacks it.
    Function* Get() {
        if (!lookedUp.load(std::memory_order_acquire)) {
            function.store(reinterpret_cast<Function*>(
                               reinterpret_cast<void*>(FindSystemFunction(library, name))),
                           std::memory_order_relaxed);
            lookedUp.store(true, std::memory_order_release);
        }
        return function.load(std::memory_order_relaxed);
    }

  private:
    const char* library;
    const char* name;
    std::atomic<Function*> function{nullptr};
    std::atomic<bool> lookedUp{false};
};

// Each with the Windows version that brings it, as its documentation's "Minimum supported
// client" gives it (which names nothing older than Windows 2000).

// Newer than the floor.
inline constinit SystemFunction<BOOL WINAPI(LPCSTR)> setDllDirectory{"kernel32.dll",
                                                                     "SetDllDirectoryA"}; // XP SP1
inline constinit SystemFunction<UINT WINAPI(HWND)> getDpiForWindow{
    "user32.dll", "GetDpiForWindow"}; // 10, version 1607
inline constinit SystemFunction<int WINAPI(int, UINT)> getSystemMetricsForDpi{
    "user32.dll", "GetSystemMetricsForDpi"}; // 10, version 1607
// Wine's own: it tells Wine from Windows.
inline constinit SystemFunction<const char * CDECL()> wineGetVersion{"ntdll.dll",
                                                                     "wine_get_version"};

// The common controls: the list view's classes.
inline constinit SystemFunction<decltype(::InitCommonControlsEx)> initCommonControlsEx{
    "comctl32.dll", "InitCommonControlsEx"}; // 2000

// The common dialogs.
inline constinit SystemFunction<decltype(::GetOpenFileNameW)> getOpenFileName{
    "comdlg32.dll", "GetOpenFileNameW"}; // 2000

// The shell: the tray icon and the programs' icons.
inline constinit SystemFunction<decltype(::Shell_NotifyIconW)> shellNotifyIcon{
    "shell32.dll", "Shell_NotifyIconW"}; // 2000
inline constinit SystemFunction<decltype(::ExtractIconExW)> extractIconEx{"shell32.dll",
                                                                          "ExtractIconExW"}; // 2000

// The shell's light-weight utilities: which program opens a kind of file.
inline constinit SystemFunction<decltype(::AssocQueryStringW)> assocQueryString{
    "shlwapi.dll", "AssocQueryStringW"}; // 2000

// GDI: the screen's DPI and the menu's images; all 2000.
inline constinit SystemFunction<decltype(::GetDeviceCaps)> getDeviceCaps{"gdi32.dll",
                                                                         "GetDeviceCaps"};
inline constinit SystemFunction<decltype(::CreateCompatibleDC)> createCompatibleDC{
    "gdi32.dll", "CreateCompatibleDC"};
inline constinit SystemFunction<decltype(::CreateDIBSection)> createDIBSection{"gdi32.dll",
                                                                               "CreateDIBSection"};
inline constinit SystemFunction<decltype(::SelectObject)> selectObject{"gdi32.dll", "SelectObject"};
inline constinit SystemFunction<decltype(::DeleteDC)> deleteDC{"gdi32.dll", "DeleteDC"};
inline constinit SystemFunction<decltype(::DeleteObject)> deleteObject{"gdi32.dll", "DeleteObject"};
inline constinit SystemFunction<decltype(::GetObjectA)> getObject{"gdi32.dll", "GetObjectA"};
inline constinit SystemFunction<decltype(::GdiFlush)> gdiFlush{"gdi32.dll", "GdiFlush"};
inline constinit SystemFunction<decltype(::GdiAlphaBlend)> gdiAlphaBlend{"gdi32.dll",
                                                                         "GdiAlphaBlend"};

} // namespace platform
