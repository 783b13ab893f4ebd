#pragma once
// Tells the resident instance whether its viewers changed in the registry, whoever changed
// them: Brindle itself, `reg import` of a backup, regedit, another Brindle. It is asked, from
// the thread that owns it; it starts no thread of its own.

#include <windows.h>

#include <optional>

#include "store/ViewerStore.h"

class StoreWatch {
  public:
    // Watches the settings of `product` with everything below them.
    explicit StoreWatch(const wchar_t* product = settingsProduct);

    // True when the store changed since the last call (or since the watch began), so that
    // what was read from it before may be stale; the watch goes on, also when another program
    // deleted the whole settings key.
    bool Changed();

  private:
    // Asks for the next change; false when the settings key cannot be watched.
    bool Arm();

    const wchar_t* product;
    std::optional<SettingsKey> settings;
    UniqueKernelHandle event;
    bool armed = false;
};
