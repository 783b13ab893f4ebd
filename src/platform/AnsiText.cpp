#include "platform/AnsiText.h"

#include <windows.h>

namespace platform {

std::size_t AnsiLength(std::wstring_view text) {
    if (text.empty())
        return 0;
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

std::wstring WideFromAnsi(std::string_view text) {
    const int length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), length)));
    return wide;
}

} // namespace platform
