#include "store/StoreWatch.h"

StoreWatch::StoreWatch(const wchar_t* product)
    : product(product), event(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    armed = Arm();
}

bool StoreWatch::Arm() {
    if (!event)
        return false;
    // Asynchronous: the event is set at the next change below the root, then the watch ends
    // until it is armed again. A deleted key reports no change any more: the settings are
    // then opened again (created, as every use of the store creates them) and watched anew.
    const auto watch = [this] {
        return settings && settings->RootKey() &&
               RegNotifyChangeKeyValue(settings->RootKey(), TRUE,
                                       REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                       event.Get(), TRUE) == ERROR_SUCCESS;
    };
    if (watch())
        return true;
    settings.reset();
    settings.emplace(settingsMaker, product);
    return watch();
}

bool StoreWatch::Changed() {
    if (!armed) {
        // Not watched since the last call: anything may have changed meanwhile.
        armed = Arm();
        return armed;
    }
    if (WaitForSingleObject(event.Get(), 0) != WAIT_OBJECT_0)
        return false;
    armed = Arm();
    return true;
}
