// The calling side of a call between projectors. The caller names a shared
// block of 65536 bytes that the listening projector created: offset 0 holds
// the listener's main window handle as a 32-bit value, offset 4 the answer
// of the last command, NUL-terminated. The call itself is a WM_COPYDATA
// block of NUL-terminated ANSI strings: the block's name, the command (a
// global function of the listener's scripts), each argument, and an empty
// string to end. The listener's side reads it in host/copy_data_call.h.
//
// The shared block is writable by any process on the desktop: the handle
// and the answer are read strictly within the block, whatever they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

constexpr size_t kCallBlockSize = 65536;
constexpr size_t kCallAnswerOffset = 4;
constexpr size_t kCallAnswerSpace = kCallBlockSize - kCallAnswerOffset;  // 65532

// The arguments of a comma-separated text: every piece between commas,
// empty pieces dropped ("a,,b" gives a and b).
std::vector<std::string> SplitCallArguments(const std::string& text);

// The WM_COPYDATA payload: name, NUL, command, NUL, each argument and NUL,
// and one more NUL.
std::string BuildCallBlock(const std::string& blockName, const std::string& command,
                           const std::vector<std::string>& arguments);

// The handle stored at offset 0, as the 32-bit value it was written as;
// `size` is how many bytes of the block are readable (0 when fewer than 4).
uint32_t ReadListenerHandle(const uint8_t* block, size_t size);
void WriteListenerHandle(uint8_t* block, size_t size, uint32_t handle);

// The answer to a call that returned `length`: the first `length` bytes of
// the answer area, but never past its 65532 bytes (or the readable size)
// nor past its first NUL. False when there is no answer: a length that is
// not positive or an answer area that starts with NUL.
bool ReadCallAnswer(const uint8_t* block, size_t size, int64_t length, std::string* answer);

}  // namespace kelpo
