// Looking up message map entries.
#include "host/framework/message_map.h"

namespace kelpo::framework {

const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam) {
    UINT id = LOWORD(wParam);
    for (; map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageEntry& entry = map->entries[i];
            if (entry.message != message) continue;
            if (entry.onCommand && (id < entry.firstId || id > entry.lastId)) continue;
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace kelpo::framework
