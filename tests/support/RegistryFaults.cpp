// The store's registry layer built for the tests of faults: src/store/SettingsKey.cpp itself,
// with its registry creates, value writes and key deletes routed through the faults that a
// test injects. A test program that links this build (brindle_registry_faults) does not take
// the product's from the store's library.

#include "support/RegistryFaults.h"

#include <windows.h>

namespace testsupport {

namespace {

RegistryFaults* injected = nullptr;

// Numbers one call; false when it is to fail.
bool NextCallGoesThrough() {
    RegistryFaults* faults = injected;
    if (!faults)
        return true;
    const int call = ++faults->calls;
    return faults->failFrom == 0 || call < faults->failFrom || call > faults->failTo;
}

} // namespace

void InjectRegistryFaults(RegistryFaults* faults) {
    injected = faults;
}

} // namespace testsupport

namespace {

// Each as its namesake, unless it is to fail.
LONG WINAPI FaultyRegCreateKeyExW(HKEY parent, LPCWSTR name, DWORD reserved, LPWSTR keyClass,
                                  DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                                  PHKEY key, LPDWORD disposition) {
    if (parent != HKEY_CURRENT_USER && !testsupport::NextCallGoesThrough())
        return ERROR_ACCESS_DENIED;
    return RegCreateKeyExW(parent, name, reserved, keyClass, options, access, security, key,
                           disposition);
}

LONG WINAPI FaultyRegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                                 const BYTE* data, DWORD size) {
    if (!testsupport::NextCallGoesThrough())
        return ERROR_ACCESS_DENIED;
    return RegSetValueExW(key, name, reserved, type, data, size);
}

LONG WINAPI FaultyRegDeleteKeyW(HKEY parent, LPCWSTR name) {
    if (!testsupport::NextCallGoesThrough())
        return ERROR_ACCESS_DENIED;
    return RegDeleteKeyW(parent, name);
}

} // namespace

#define RegCreateKeyExW FaultyRegCreateKeyExW
#define RegSetValueExW FaultyRegSetValueExW
#define RegDeleteKeyW FaultyRegDeleteKeyW

#include "store/SettingsKey.cpp"
