// Typing Cyrillic on keys that report their US English characters: the key
// character is mapped to the Windows-1251 letter of the same key on the
// Russian standard layout whenever the active layout is not US English.
// Main thread only (it asks the platform for the layout at every call).
#pragma once

namespace GUI {

// The Windows-1251 byte of the key that types `c` on a US keyboard; `c`
// itself on a US English layout or for a character the table lacks.
char MapCyrillicKey(char c);

} // namespace GUI
