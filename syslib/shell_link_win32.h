// What Shortcut and URLShortcut share (Windows only): a shell COM object
// bound to a link file. The record is each class's instance data; the
// object is loaded from the file when it exists and saved back to it.
#pragma once

#include <windows.h>
// windows.h first: objbase.h builds on it.
#include <objbase.h>

#include <string>

#include "runtime/class_kit.h"
#include "runtime/context.h"

namespace kelpo {

struct ShellLinkRecord {
    IUnknown* object;   // the interface asked for (IShellLinkA, IUniformResourceLocatorA)
    std::string* path;  // the link file's full path
};

// Makes an instance of `klass` over a new COM object of `clsid` asking
// for `iid`, bound to the ANSI path in args[1] (made full, so that a later
// change of the current folder does not move it) and loaded from that file
// when it can be. `loaded` tells whether the file was read. Null in `out`
// (and no instance) for a missing, non-String or too long path, or when
// the object cannot be made.
ShellLinkRecord* NewShellLink(ScriptContext* context, NativeClass* klass, Value* args,
                              REFCLSID clsid, REFIID iid, Value* out, bool* loaded);

// Saves the object to its file (remembering the file as its own). False
// on failure.
bool SaveShellLink(ShellLinkRecord* record);

// The `finalize` of both classes: releases the object and the path.
void FinalizeShellLink(NativeClass* klass, void* data);

// The wide form of ANSI text.
std::wstring WideOfAnsi(const std::string& text);

}  // namespace kelpo
