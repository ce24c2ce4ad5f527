#include "netlib/call_block.h"

#include <cstring>

namespace kelpo {

std::vector<std::string> SplitCallArguments(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        if (comma > start) pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return pieces;
}

std::string BuildCallBlock(const std::string& blockName, const std::string& command,
                           const std::vector<std::string>& arguments) {
    std::string block;
    block.append(blockName).push_back('\0');
    block.append(command).push_back('\0');
    for (const std::string& argument : arguments) block.append(argument).push_back('\0');
    block.push_back('\0');
    return block;
}

uint32_t ReadListenerHandle(const uint8_t* block, size_t size) {
    if (!block || size < 4) return 0;
    uint32_t handle;
    std::memcpy(&handle, block, 4);
    return handle;
}

void WriteListenerHandle(uint8_t* block, size_t size, uint32_t handle) {
    if (block && size >= 4) std::memcpy(block, &handle, 4);
}

bool ReadCallAnswer(const uint8_t* block, size_t size, int64_t length, std::string* answer) {
    answer->clear();
    if (!block || length <= 0 || size <= kCallAnswerOffset) return false;
    size_t space = size - kCallAnswerOffset;
    if (space > kCallAnswerSpace) space = kCallAnswerSpace;
    const char* area = reinterpret_cast<const char*>(block + kCallAnswerOffset);
    size_t text = 0;
    while (text < space && area[text] != '\0') ++text;
    if (text == 0) return false;
    if (static_cast<uint64_t>(length) < text) text = static_cast<size_t>(length);
    answer->assign(area, text);
    return true;
}

}  // namespace kelpo
