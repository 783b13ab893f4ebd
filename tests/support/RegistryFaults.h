#pragma once
// Faults for the tests of the store's edits. A test program that links brindle_registry_faults
// gets a build of the store's registry layer (RegistryFaults.cpp: src/store/SettingsKey.cpp
// itself) whose registry creates, value writes and key deletes pass through here. While faults
// are injected, those calls are numbered from 1 in `calls`; the ones numbered `failFrom` to
// `failTo` fail without reaching the registry (with `failFrom` 0 every call goes through). The
// settings key itself, which every store creates or opens from HKEY_CURRENT_USER as it is
// made, is neither numbered nor failed.

namespace testsupport {

struct RegistryFaults {
    int calls = 0;
    int failFrom = 0;
    int failTo = 0;
};

// Injects `faults` into every later call (null: none), whichever thread makes it.
void InjectRegistryFaults(RegistryFaults* faults);

} // namespace testsupport
