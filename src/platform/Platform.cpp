#include "platform/Platform.h"

namespace talvik {

std::string_view ArgumentsAfterProgramName(std::string_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string_view::npos ? commandLine.size() : end + 1;
    } else {
        while (end < commandLine.size() && commandLine[end] != ' ' && commandLine[end] != '\t')
            ++end;
    }
    while (end < commandLine.size() && (commandLine[end] == ' ' || commandLine[end] == '\t'))
        ++end;
    return commandLine.substr(end);
}

}  // namespace talvik
