#include "tools/kelpo/engine_bounds.h"

#include <cstring>

namespace kelpo {

bool ParseByteCount(const char* text, uint64_t* bytes) {
    const uint64_t kMost = uint64_t{1} << 63;
    uint64_t value = 0;
    const char* p = text;
    if (*p < '0' || *p > '9') return false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value > kMost) return false;
    }
    int shift = 0;
    switch (*p) {
        case '\0': break;
        case 'k':
        case 'K': shift = 10; break;
        case 'm':
        case 'M': shift = 20; break;
        case 'g':
        case 'G': shift = 30; break;
        default: return false;
    }
    if (*p != '\0' && p[1] != '\0') return false;
    if (value == 0 || value > (kMost >> shift)) return false;
    *bytes = value << shift;
    return true;
}

int ApplyEngineBoundOption(int count, char** args, EngineOptions* options, std::string* error) {
    const char* option = args[0];
    const char* equals = strchr(option, '=');
    std::string name = equals != nullptr ? std::string(option, equals) : std::string(option);
    bool heap = name == "--heap-limit";
    if (!heap && name != "--budget") {
        *error = "unknown option " + name;
        return 0;
    }
    const char* value = equals != nullptr ? equals + 1 : (count > 1 ? args[1] : nullptr);
    if (value == nullptr) {
        *error = name + (heap ? " needs a byte count" : " needs a number");
        return 0;
    }
    uint64_t number = 0;
    // The budget is a plain count; the heap limit also takes K, M and G.
    bool ok = ParseByteCount(value, &number) &&
              (heap || (value[strlen(value) - 1] >= '0' && value[strlen(value) - 1] <= '9'));
    if (heap && ok && number > SIZE_MAX) ok = false;
    if (!ok) {
        *error = name + ": \"" + value + "\" is not " +
                 (heap ? "a byte count (digits, then K, M or G)" : "a positive whole number");
        return 0;
    }
    if (heap) {
        options->heapLimit = static_cast<size_t>(number);
    } else {
        options->instructionBudget = number;
    }
    return equals != nullptr ? 1 : 2;
}

}  // namespace kelpo
