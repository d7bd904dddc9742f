// The active keyboard layout, named as eight hexadecimal digits of the
// language identifier ("00000409" US English, "00000419" Russian). The text
// widgets ask at every key, so switching layouts takes effect at once.
// Main thread only.
#pragma once

#include <string>

// Read from SDL's key map while SDL's video runs: US English when the letter
// keys carry their US letters, Russian when they carry Cyrillic ones,
// "00000000" for any other layout. Without video (no keyboard yet) US English.
std::string keyboard_getLayoutName();

// Tests: a fixed name in place of the system's; an empty name gives the system's back.
void keyboard_setLayoutName(const std::string& name);
