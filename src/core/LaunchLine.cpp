#include "core/LaunchLine.h"

bool AssembleLaunchLine(std::string_view command, std::string_view parameters,
                        std::string_view file, std::string& out) {
    constexpr std::size_t punctuation = 4; // space, space, quote, quote
    if (command.size() + parameters.size() + file.size() + punctuation > maxLaunchLine)
        return false;
    out.assign(command).append(" ").append(parameters).append(" \"").append(file).append("\"");
    return true;
}

bool IsLaunchableFile(std::string_view file) {
    return file.find('"') == std::string_view::npos;
}
