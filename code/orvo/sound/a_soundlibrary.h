// Lifetime of the sound library: it runs while any sound object (a sample,
// a copy of one, or a music stream) is alive. The first one alive starts it,
// the last one gone closes it. Called from the main, loading and music threads.
#pragma once

// Counts one more live sound object, starting the library when it is the
// first. A stream that finds no audio device falls back to no sound.
void sound_libraryAcquire(bool forStream);
// Counts one less, closing the library at zero.
void sound_libraryRelease();
int sound_libraryLiveObjects();
