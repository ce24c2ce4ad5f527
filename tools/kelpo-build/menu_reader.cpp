// Reading menu trees.
#include "tools/kelpo-build/menu_reader.h"

#include "tools/kelpo-build/project_error.h"

namespace kelpo::build {

namespace {

struct FlagKey {
    const char* key;
    uint32_t flag;
};

const FlagKey kItemFlags[] = {
    {"separator", kMenuItemSeparator}, {"disabled", kMenuItemDisabled},
    {"checked", kMenuItemChecked},     {"grayed", kMenuItemGrayed},
    {"default", kMenuItemDefault},
};

std::vector<StoredMenuItem> ReadItems(const Json& value, const std::string& path, int depth);

StoredMenuItem ReadItem(const Json& value, const std::string& path, int depth) {
    ObjectFields fields(value, path);
    StoredMenuItem item;
    fields.Unsigned32("flags", item.flags);
    for (const FlagKey& flag : kItemFlags) {
        bool set = false;
        fields.Bool(flag.key, set);
        if (set) item.flags |= flag.flag;
    }
    fields.Text("name", item.name);
    fields.Text("caption", item.caption);
    fields.Text("icon", item.iconPath);
    if (const Json* children = fields.Take("items")) {
        item.flags |= kMenuItemPopup;
        item.children = ReadItems(*children, fields.PathOf("items"), depth + 1);
    } else if (item.flags & kMenuItemPopup) {
        throw ProjectError(path, "a pop-up item needs \"items\"");
    }
    fields.RefuseUnknownKeys();
    return item;
}

std::vector<StoredMenuItem> ReadItems(const Json& value, const std::string& path, int depth) {
    if (depth > kMaxMenuDepth)
        throw ProjectError(path,
                           "pop-ups nest deeper than " + std::to_string(kMaxMenuDepth) + " levels");
    if (!value.is_array()) throw ProjectError(path, "expected an array of menu items");
    std::vector<StoredMenuItem> items;
    for (size_t i = 0; i < value.size(); ++i)
        items.push_back(ReadItem(value[i], ElementPath(path, i), depth));
    return items;
}

}  // namespace

std::vector<StoredMenuItem> ReadMenuItems(const Json& value, const std::string& path) {
    return ReadItems(value, path, 1);
}

}  // namespace kelpo::build
