// Reading resources of the running executable.
#include "host/resources_win32.h"

#include "host/host_exceptions.h"
#include "host/packed_container.h"

namespace kelpo {

namespace {

// The resource's bytes inside the loaded image, or null with the length 0.
const uint8_t* FindResourceBytes(const char* type, const char* name, DWORD& length) {
    length = 0;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return nullptr;
    length = SizeofResource(module, found);
    return static_cast<const uint8_t*>(LockResource(loaded));
}

}  // namespace

std::vector<uint8_t> LoadPackedResource(const char* type, const char* name) {
    DWORD length;
    const uint8_t* bytes = FindResourceBytes(type, name, length);
    if (!bytes) throw LastErrorException();
    if (length == 0) throw CTopBaseException("The resource is empty");
    return UnpackContainerOrThrow(bytes, length);
}

bool ReadRawResource(const char* type, const char* name, std::vector<uint8_t>& bytes) {
    DWORD length;
    const uint8_t* found = FindResourceBytes(type, name, length);
    if (!found) return false;
    bytes.assign(found, found + length);
    return true;
}

}  // namespace kelpo
