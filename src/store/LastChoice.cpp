// The viewer chosen last from a menu (ViewerStore.h): value `LastChoice` of the settings key,
// beside `Menus` (store/ViewerLayout.h).

#include "store/ViewerStore.h"

std::wstring ViewerStore::LastChoice() {
    DWORD type = 0;
    return UpToZero(ReadStoredText(settings, lastChoiceValueName, nullptr, type));
}

bool ViewerStore::RememberChoice(const std::wstring& title) {
    return settings.RootKey() && settings.SetString(lastChoiceValueName, title);
}
