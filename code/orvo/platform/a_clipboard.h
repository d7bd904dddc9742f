// The system clipboard as the text widgets use it: the whole clipboard is
// replaced by data of one format, and one format is read back. Formats keep
// their customary numbers: A_CF_TEXT holds Windows-1251 bytes, A_CF_UNICODETEXT
// UTF-16 code units (little endian); both end with a terminating zero.
// While SDL's video runs the data goes through SDL's clipboard (UTF-8 text),
// otherwise through a store inside the process. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t A_CF_TEXT = 1;
constexpr uint32_t A_CF_UNICODETEXT = 13;

// Replaces what the clipboard holds with `size` bytes of the format; false
// when nothing could be written (null data with a size, or the system refused).
bool clipboard_setData(uint32_t format, const void* data, size_t size);
// Whether the clipboard holds data readable as the format.
bool clipboard_hasFormat(uint32_t format);
// The data as the format, terminating zero included; false when it holds none.
bool clipboard_getData(uint32_t format, std::string& data);

// Tests: true keeps the clipboard inside the process whatever SDL offers, so
// no test touches the desktop's clipboard; false gives SDL's back. Either way
// the clipboard starts out empty.
void clipboard_useInProcess(bool inProcess);
