#include "orvo/gfx/a_theorastream.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <ogg/ogg.h>
#include <theora/codec.h>
#include <theora/theora.h>

#include "orvo/gfx/a_yuvconverter.h"
#include "orvo/util/a_log.h"

namespace {

constexpr long kBlockSize = 8192;
// Coded frames larger than this on a side are refused: the headers allow a
// million pixels, and decoding such a frame takes seconds and gigabytes
// while the picture shown may be tiny.
constexpr uint32_t kMaxFrameSide = 4096;

// The comment block is handled with the current comment calls; both
// interfaces share its layout.
static_assert(sizeof(theora_comment) == sizeof(th_comment));
static_assert(offsetof(theora_comment, vendor) == offsetof(th_comment, vendor));
static_assert(offsetof(theora_comment, comments) == offsetof(th_comment, comments));

th_comment* asComment(theora_comment* comment)
{
    return reinterpret_cast<th_comment*>(comment);
}

// The packet claims to be a Theora identification header.
bool isTheoraIdentification(const ogg_packet& packet)
{
    return packet.packet && packet.bytes >= 7 && std::memcmp(packet.packet, "\x80theora", 7) == 0;
}

} // namespace

struct aTheoraStream::Block {
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_page page;
    ogg_packet packet;
    theora_comment comment;
    theora_info info;
    theora_state state;
    yuv_buffer picture;
    // What has been set up and must be cleared on a reset.
    bool syncReady;
    bool streamReady;
    bool headersReady;
    bool decoderReady;
};

aTheoraStream::aTheoraStream() : m_block(std::make_unique<Block>())
{
}

aTheoraStream::~aTheoraStream()
{
    close();
}

bool aTheoraStream::open(const std::string& diskPath)
{
    close();
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_pixelsWidth = m_pixelsHeight = 0;
    m_hasPicture = false;

    FILE* file = std::fopen(diskPath.c_str(), "rb");
    if (!file) {
        a_log("File open error!");
        return false;
    }
    m_file.reset(file);
    m_path = diskPath;
    if (!readHeaders()) {
        close();
        return false;
    }
    return true;
}

void aTheoraStream::close()
{
    if (!m_file)
        return;
    resetDecoder();
    m_file.reset();
}

int32_t aTheoraStream::getWidth() const
{
    return static_cast<int32_t>(m_block->info.frame_width);
}

int32_t aTheoraStream::getHeight() const
{
    return static_cast<int32_t>(m_block->info.frame_height);
}

uint32_t aTheoraStream::getFpsNumerator() const
{
    return m_block->info.fps_numerator;
}

uint32_t aTheoraStream::getFpsDenominator() const
{
    return m_block->info.fps_denominator;
}

size_t aTheoraStream::readBlock()
{
    char* buffer = ogg_sync_buffer(&m_block->sync, kBlockSize);
    if (!buffer)
        return 0;
    const size_t count = std::fread(buffer, 1, kBlockSize, m_file.get());
    ogg_sync_wrote(&m_block->sync, static_cast<long>(count));
    return count;
}

void aTheoraStream::resetDecoder()
{
    Block& b = *m_block;
    // The decoder first: it was built from the info.
    if (b.decoderReady)
        theora_clear(&b.state);
    if (b.headersReady) {
        th_comment_clear(asComment(&b.comment));
        theora_info_clear(&b.info);
    }
    if (b.streamReady)
        ogg_stream_clear(&b.stream);
    if (b.syncReady)
        ogg_sync_clear(&b.sync);
    b = Block{};
}

bool aTheoraStream::readHeaders()
{
    resetDecoder();
    Block& b = *m_block;
    ogg_sync_init(&b.sync);
    b.syncReady = true;
    th_comment_init(asComment(&b.comment));
    theora_info_init(&b.info);
    b.headersReady = true;

    // Beginning-of-stream pages come first; the first one whose packet is a
    // Theora identification header names the video's stream.
    int found = 0;
    bool brokenTheora = false; // names the failure when no stream qualifies
    for (;;) {
        const int got = ogg_sync_pageout(&b.sync, &b.page);
        if (got < 0)
            continue; // bytes skipped while looking for a page
        if (got == 0) {
            if (readBlock() == 0) {
                if (found || brokenTheora)
                    a_log("aTheoraVideo. Broken Theora headers in '%s'", m_path.c_str());
                else
                    a_log("aTheoraVideo. No Theora stream in '%s'", m_path.c_str());
                return false;
            }
            continue;
        }
        if (!ogg_page_bos(&b.page))
            break;
        if (found)
            continue;
        ogg_stream_state test;
        if (ogg_stream_init(&test, ogg_page_serialno(&b.page)) != 0) {
            a_log("aTheoraVideo. Broken Theora headers in '%s'", m_path.c_str());
            return false;
        }
        const int packets = ogg_stream_pagein(&test, &b.page) == 0 ? ogg_stream_packetout(&test, &b.packet) : -1;
        if (packets < 0) {
            ogg_stream_clear(&test);
            a_log("aTheoraVideo. Broken Theora headers in '%s'", m_path.c_str());
            return false;
        }
        // A page with no whole packet in it names no stream (and leaves the
        // packet pointing into freed buffers of an earlier test stream).
        if (packets > 0 && theora_decode_header(&b.info, &b.comment, &b.packet) >= 0) {
            b.stream = test; // the stream takes over the test stream's buffers
            b.streamReady = true;
            found = 1;
        } else {
            brokenTheora = brokenTheora || (packets > 0 && isTheoraIdentification(b.packet));
            ogg_stream_clear(&test);
        }
    }
    if (!found) {
        a_log(brokenTheora ? "aTheoraVideo. Broken Theora headers in '%s'" : "aTheoraVideo. No Theora stream in '%s'",
              m_path.c_str());
        return false;
    }

    // The comment and setup headers follow in the stream's own pages; pages
    // of other streams are refused by the stream and so passed over.
    ogg_stream_pagein(&b.stream, &b.page);
    while (found < 3) {
        int got = 0;
        while (found < 3 && (got = ogg_stream_packetout(&b.stream, &b.packet)) != 0) {
            if (got < 0 || theora_decode_header(&b.info, &b.comment, &b.packet) < 0) {
                a_log("aTheoraVideo. Broken Theora headers in '%s'", m_path.c_str());
                return false;
            }
            ++found;
        }
        if (found == 3)
            break;
        got = ogg_sync_pageout(&b.sync, &b.page);
        if (got > 0) {
            ogg_stream_pagein(&b.stream, &b.page);
        } else if (got == 0 && readBlock() == 0) {
            a_log("aTheoraVideo. Broken Theora headers in '%s'", m_path.c_str());
            return false;
        }
    }
    if (!checkStream())
        return false;
    if (theora_decode_init(&b.state, &b.info) != 0) {
        a_log("aTheoraVideo. Decoder set-up failed for '%s'", m_path.c_str());
        return false;
    }
    b.decoderReady = true;
    return true;
}

// What the player relies on beyond what the headers themselves promise.
bool aTheoraStream::checkStream()
{
    const theora_info& i = m_block->info;
    if (i.fps_numerator == 0 || i.fps_denominator == 0) {
        a_log("aTheoraVideo. Bad frame rate %u/%u in '%s'", i.fps_numerator, i.fps_denominator, m_path.c_str());
        return false;
    }
    if (i.pixelformat != OC_PF_420 && i.pixelformat != OC_PF_422 && i.pixelformat != OC_PF_444) {
        a_log("aTheoraVideo. Unknown chroma layout %d in '%s'", static_cast<int>(i.pixelformat), m_path.c_str());
        return false;
    }
    if (i.width > kMaxFrameSide || i.height > kMaxFrameSide) {
        a_log("aTheoraVideo. Frame %ux%u too large in '%s'", i.width, i.height, m_path.c_str());
        return false;
    }
    if (i.frame_width == 0 || i.frame_height == 0 || i.frame_width > i.width || i.frame_height > i.height ||
        i.offset_x > i.width - i.frame_width || i.offset_y > i.height - i.frame_height) {
        a_log("aTheoraVideo. Bad picture %ux%u at %u,%u in a %ux%u frame in '%s'", i.frame_width, i.frame_height,
              i.offset_x, i.offset_y, i.width, i.height, m_path.c_str());
        return false;
    }
    return true;
}

bool aTheoraStream::decodeFrame(bool loop)
{
    if (!m_file)
        return false;
    Block& b = *m_block;
    bool rewound = false;
    while (ogg_stream_packetout(&b.stream, &b.packet) <= 0) {
        // Pages already in the sync layer go first: the last header block
        // often brings the first frames with it.
        const int got = ogg_sync_pageout(&b.sync, &b.page);
        if (got > 0)
            ogg_stream_pagein(&b.stream, &b.page);
        if (got != 0 || readBlock() > 0)
            continue;
        // The end of the file: a cut or damaged file ends without the
        // stream's last page.
        if (b.sync.fill > b.sync.returned || !b.stream.e_o_s)
            a_log("aTheoraVideo. '%s' ends before its video stream does", m_path.c_str());
        resetDecoder();
        if (!loop) {
            m_file.reset();
            return false;
        }
        // A second end within one call means the file has no frame to show;
        // starting again would never end.
        if (rewound) {
            a_log("aTheoraVideo. No frames in '%s'", m_path.c_str());
            m_file.reset();
            return false;
        }
        rewound = true;
        if (std::fseek(m_file.get(), 0, SEEK_SET) != 0 || !readHeaders()) {
            resetDecoder();
            m_file.reset();
            return false;
        }
    }

    // NOTE: the picture is only read after a packet decoded: before the first
    // good frame the decoder has no picture to hand out.
    if (theora_decode_packetin(&b.state, &b.packet) < 0) {
        a_log("ERROR theora_decode_packetin");
        return false;
    }
    if (theora_decode_YUVout(&b.state, &b.picture) != 0) {
        a_log("ERROR theora_decode_YUVout");
        return false;
    }
    return convertPicture();
}

bool aTheoraStream::convertPicture()
{
    const theora_info& i = m_block->info;
    const yuv_buffer& p = m_block->picture;
    aYuvPicture picture;
    picture.chromaShiftX = i.pixelformat == OC_PF_444 ? 0 : 1;
    picture.chromaShiftY = i.pixelformat == OC_PF_420 ? 1 : 0;
    picture.left = static_cast<int32_t>(i.offset_x);
    picture.top = static_cast<int32_t>(i.offset_y);
    picture.width = static_cast<int32_t>(i.frame_width);
    picture.height = static_cast<int32_t>(i.frame_height);
    const int32_t right = picture.left + picture.width - 1;
    const int32_t bottom = picture.top + picture.height - 1;
    // The planes must hold the whole picture before a byte is read.
    if (!p.y || !p.u || !p.v || right >= p.y_width || bottom >= p.y_height ||
        (right >> picture.chromaShiftX) >= p.uv_width || (bottom >> picture.chromaShiftY) >= p.uv_height ||
        std::abs(p.y_stride) < p.y_width || std::abs(p.uv_stride) < p.uv_width) {
        a_log("aTheoraVideo. Decoded picture does not match the headers of '%s'", m_path.c_str());
        return false;
    }
    picture.y = {p.y, p.y_stride};
    picture.u = {p.u, p.uv_stride};
    picture.v = {p.v, p.uv_stride};

    if (m_pixelsWidth != picture.width || m_pixelsHeight != picture.height) {
        m_pixels.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), 0);
        m_pixelsWidth = picture.width;
        m_pixelsHeight = picture.height;
    }
    aYuvConverter::convert(picture, m_pixels.data(), m_pixelsWidth);
    m_hasPicture = true;
    return true;
}
