#include "platform/SystemFunctions.h"

namespace platform {

FARPROC FindSystemFunction(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryA(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

} // namespace platform
