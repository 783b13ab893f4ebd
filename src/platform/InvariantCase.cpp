#include "platform/InvariantCase.h"

#include <windows.h>

namespace platform {

std::wstring InvariantUpperCase(std::wstring_view text) {
    std::wstring upper(text.size(), L'\0');
    const int length = static_cast<int>(text.size());
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), length, upper.data(), length);
    return upper;
}

} // namespace platform
