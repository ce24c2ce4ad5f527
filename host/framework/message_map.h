// Message maps: each window class declares, in one table next to it, which
// messages (and which command IDs) it answers. A table names its base
// class's table, so lookups walk from the most derived class upwards.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kelpo::framework {

class Window;

using MessageHandler = LRESULT (Window::*)(WPARAM wParam, LPARAM lParam);
using CommandHandler = void (Window::*)(UINT id);

struct MessageEntry {
    UINT message;  // the message, or WM_COMMAND for command entries
    UINT firstId;  // command entries: the range of IDs they take
    UINT lastId;
    MessageHandler onMessage;
    CommandHandler onCommand;
};

struct MessageMap {
    const MessageMap* base;
    const MessageEntry* entries;
    size_t count;
};

// A handler for one message: LRESULT T::Handler(WPARAM, LPARAM).
template <class T>
constexpr MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return MessageEntry{message, 0, 0, static_cast<MessageHandler>(handler), nullptr};
}

// A handler for a range of command IDs (menu items, accelerators, buttons):
// void T::Handler(UINT id).
template <class T>
constexpr MessageEntry OnCommandRange(UINT firstId, UINT lastId, void (T::*handler)(UINT)) {
    return MessageEntry{WM_COMMAND, firstId, lastId, nullptr, static_cast<CommandHandler>(handler)};
}

template <class T>
constexpr MessageEntry OnCommand(UINT id, void (T::*handler)(UINT)) {
    return OnCommandRange(id, id, handler);
}

template <size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageEntry (&entries)[N]) {
    return MessageMap{base, entries, N};
}

// Finds the entry for a message in a map chain; null when nobody answers it.
const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam);

}  // namespace kelpo::framework
