// The decoding half of the video player: an Ogg file on disk read in blocks
// of 8192 bytes, the headers of its first Theora stream, and one frame at a
// time converted into a buffer of 32-bit pixels (bytes B, G, R, A). Pages of
// other logical streams (a sound track) are passed over. Owned by
// aTheoraVideo; main thread only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class aTheoraStream {
public:
    aTheoraStream();
    ~aTheoraStream();
    aTheoraStream(const aTheoraStream&) = delete;
    aTheoraStream& operator=(const aTheoraStream&) = delete;

    // Closes what is open, then opens the file and reads the stream headers.
    // False (logged) when the file cannot be opened, holds no Theora stream,
    // its headers are broken, or its frame rate, picture or chroma layout
    // cannot be played; the file is closed again then.
    [[nodiscard]] bool open(const std::string& diskPath);
    // Resets the decoder and closes the file; the pixels of the last frame stay.
    void close();
    bool isOpen() const { return m_file != nullptr; }

    // Decodes the next frame into the pixel buffer. At the end of the file the
    // decoder is reset; with `loop` the file starts again from its headers,
    // without it the file is closed. True when a new picture reached the buffer.
    bool decodeFrame(bool loop);

    // The picture size and frame rate of the stream; 0 once the decoder is reset.
    int32_t getWidth() const;
    int32_t getHeight() const;
    uint32_t getFpsNumerator() const;
    uint32_t getFpsDenominator() const;

    // The last decoded picture, getPixelsWidth() pixels per row; null until
    // a frame has been decoded since the file was opened.
    const uint32_t* getPixels() const { return m_hasPicture ? m_pixels.data() : nullptr; }
    int32_t getPixelsWidth() const { return m_pixelsWidth; }
    int32_t getPixelsHeight() const { return m_pixelsHeight; }

private:
    struct Block; // the libogg and libtheora state

    struct FileCloser {
        void operator()(FILE* file) const { std::fclose(file); }
    };

    bool readHeaders();
    bool checkStream();
    size_t readBlock();
    void resetDecoder();
    bool convertPicture();

    std::unique_ptr<Block> m_block;
    std::unique_ptr<FILE, FileCloser> m_file;
    std::string m_path; // for log lines
    std::vector<uint32_t> m_pixels;
    int32_t m_pixelsWidth = 0;
    int32_t m_pixelsHeight = 0;
    bool m_hasPicture = false;
};
