#pragma once
// Tells the resident instance whether its viewers changed in the registry, whoever changed
// them: Brindle itself, `reg import` of a backup, regedit, another Brindle. It is asked, from
// the thread that owns it; it starts no thread of its own.

#include <windows.h>

#include "store/ViewerStore.h"

class StoreWatch {
  public:
    // Watches the settings of `product` with everything below them.
    explicit StoreWatch(const wchar_t* product = settingsProduct);

    // True when the store changed since the last call (or since the watch began), so that
    // what was read from it before may be stale; the watch goes on.
    bool Changed();

  private:
    void Arm();

    SettingsKey settings;
    UniqueKernelHandle event;
};
