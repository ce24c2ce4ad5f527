// Stored menus: any bytes read or are refused; what reads writes and reads
// back to the same bytes.
#include <cstdlib>

#include "host/stored_menu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    std::vector<StoredMenuItem> items;
    if (!ReadStoredMenu(data, size, items)) return 0;
    std::vector<uint8_t> first = WriteStoredMenu(items);
    std::vector<StoredMenuItem> again;
    if (!ReadStoredMenu(first.data(), first.size(), again)) abort();
    if (WriteStoredMenu(again) != first) abort();
    return 0;
}
