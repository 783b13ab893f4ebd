#include "support/TestText.h"

#include <windows.h>

namespace testsupport {

namespace {
constexpr UINT testCodePage = 932;
}

std::wstring WideOf(std::string_view cp932) {
    const int length = static_cast<int>(cp932.size());
    std::wstring wide(cp932.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(testCodePage, 0, cp932.data(), length, wide.data(), length)));
    return wide;
}

std::string Cp932Of(std::wstring_view wide) {
    const int length = static_cast<int>(wide.size());
    std::string text(2 * wide.size(), '\0');
    text.resize(static_cast<size_t>(WideCharToMultiByte(
        testCodePage, 0, wide.data(), length, text.data(), 2 * length, nullptr, nullptr)));
    return text;
}

} // namespace testsupport
