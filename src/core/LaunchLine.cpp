#include "core/LaunchLine.h"

bool FitsLaunchLine(std::wstring_view text, AnsiLengthFunction ansiLength) {
    return text.size() <= maxLaunchLine && ansiLength(text) <= maxLaunchLine;
}

std::optional<std::wstring> LaunchValueOf(std::wstring_view stored, AnsiLengthFunction ansiLength) {
    const std::wstring_view text = stored.substr(0, stored.find(L'\0'));
    if (ansiLength(stored) > maxLaunchLine + 1 || !FitsLaunchLine(text, ansiLength))
        return std::nullopt;
    return std::wstring(text);
}

bool AssembleLaunchLine(std::wstring_view command, std::wstring_view parameters,
                        std::wstring_view file, AnsiLengthFunction ansiLength, std::wstring& out) {
    constexpr std::size_t punctuation = 4; // space, space, quote, quote
    if (command.size() + parameters.size() + file.size() + punctuation > maxLaunchLine)
        return false;
    std::wstring line;
    line.assign(command).append(L" ").append(parameters).append(L" \"").append(file).append(L"\"");
    if (!FitsLaunchLine(line, ansiLength))
        return false;
    out = std::move(line);
    return true;
}

bool IsLaunchableFile(std::wstring_view file) {
    return file.find(L'"') == std::wstring_view::npos;
}
