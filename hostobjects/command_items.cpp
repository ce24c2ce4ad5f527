#include "hostobjects/command_items.h"

namespace kelpo {

std::vector<std::string> SplitCommandItems(const std::string& commandLine) {
    std::vector<std::string> items;
    const size_t n = commandLine.size();
    size_t i = 0;
    bool first = true;
    while (i < n) {
        while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
        if (i == n) break;
        char end = ' ';
        if (commandLine[i] == '"' || commandLine[i] == '\'') end = commandLine[i++];
        size_t start = i;
        while (i < n && commandLine[i] != end) ++i;
        std::string item = commandLine.substr(start, i - start);
        if (i < n) ++i;  // past the closing quote or the blank
        if (first) {
            first = false;  // the program
            continue;
        }
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

}  // namespace kelpo
