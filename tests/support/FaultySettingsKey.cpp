// The store's registry layer built for the tests of faults: src/store/SettingsKey.cpp itself,
// with its registry creates, value writes and key deletes routed through the faults that a
// test injects (RegistryFaults.h). A test program that links this build (brindle_registry_faults)
// does not take the product's from the store's library.

#include "support/RegistryFaults.h"

#define RegCreateKeyExW FaultyRegCreateKeyExW
#define RegSetValueExW FaultyRegSetValueExW
#define RegDeleteKeyW FaultyRegDeleteKeyW

#include "store/SettingsKey.cpp"
