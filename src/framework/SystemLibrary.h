#pragma once
// System functions bound on first use. A start that only hands its file over to the resident
// instance never needs the common controls, the common dialogs or the shell; under Wine each
// of those libraries costs tens of milliseconds to load, so they are loaded only when needed.

#include <windows.h>

namespace fw {

// `name` from the system library `library`, loading the library on the first call; null when
// either is missing. The library stays loaded for the rest of the process.
template <class Function> Function* SystemFunction(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryA(library);
    return module
               ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

} // namespace fw
