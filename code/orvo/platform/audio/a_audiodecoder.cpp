#include "orvo/platform/audio/a_audiodecoder.h"

#include <cstring>

#include "orvo/platform/audio/a_oggdecoder.h"
#include "orvo/platform/audio/a_wavdecoder.h"
#include "orvo/util/a_log.h"

std::unique_ptr<aAudioDecoder> audio_openDecoder(const uint8_t* bytes, size_t size)
{
    if (bytes && size >= 4 && std::memcmp(bytes, "RIFF", 4) == 0) {
        auto wav = std::make_unique<aWavDecoder>();
        if (wav->open(bytes, size))
            return wav;
        return nullptr;
    }
    if (bytes && size >= 4 && std::memcmp(bytes, "OggS", 4) == 0) {
        auto ogg = std::make_unique<aOggDecoder>();
        if (ogg->open(bytes, size))
            return ogg;
        return nullptr;
    }
    a_log("aAudioDecoder. Unknown sound data (%zu bytes)", bytes ? size : static_cast<size_t>(0));
    return nullptr;
}
