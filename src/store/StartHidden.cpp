// Whether the resident starts hidden (ViewerStore.h): it does when a viewer is configured,
// counted as that decision always has.

#include "store/ViewerStore.h"

#include "platform/AnsiText.h"

bool ViewerStore::HasViewers() {
    // The decision reads the first title into a name buffer of 64 bytes of the ANSI code page.
    constexpr std::size_t nameBufferBytes = 64;
    constexpr DWORD nameBufferUnits = maxTitleChars + 1;
    const UniqueKey menus = settings.OpenSubKey(menusKeyName);
    wchar_t first[nameBufferUnits];
    return menus && settings.EnumSubKey(0, first, nameBufferUnits, menus.Get()) &&
           platform::AnsiLength(first) < nameBufferBytes;
}
