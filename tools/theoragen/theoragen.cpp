#include "theoragen.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

namespace theoragen {

namespace {

// Where the frame rate sits in the identification header: after the magic
// (7 bytes), the version (3), the frame size in macro blocks (2 + 2), the
// picture size (3 + 3) and the picture offset (1 + 1).
constexpr size_t kFpsOffset = 22;

struct EncoderDeleter {
    void operator()(th_enc_ctx* encoder) const { th_encode_free(encoder); }
};

// Ogg stream state that clears itself.
class Stream {
public:
    explicit Stream(int serial) { ogg_stream_init(&m_state, serial); }
    ~Stream() { ogg_stream_clear(&m_state); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    void put(ogg_packet& packet) { ogg_stream_packetin(&m_state, &packet); }
    // Appends the pages that are full, or (flush) every page with data in it.
    void pages(std::string& out, bool flush)
    {
        ogg_page page;
        while (flush ? ogg_stream_flush(&m_state, &page) > 0 : ogg_stream_pageout(&m_state, &page) > 0) {
            out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
            out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
        }
    }

private:
    ogg_stream_state m_state{};
};

void putBigEndian32(unsigned char* at, uint32_t value)
{
    at[0] = static_cast<unsigned char>(value >> 24);
    at[1] = static_cast<unsigned char>(value >> 16);
    at[2] = static_cast<unsigned char>(value >> 8);
    at[3] = static_cast<unsigned char>(value);
}

// Planes of one coded frame, filled with the border colour and then the picture.
class Picture {
public:
    Picture(const Options& o, int frameWidth, int frameHeight) : m_options(o)
    {
        m_xShift = o.chroma == Chroma::k444 ? 0 : 1;
        m_yShift = o.chroma == Chroma::k420 ? 1 : 0;
        const int widths[3] = {frameWidth, frameWidth >> m_xShift, frameWidth >> m_xShift};
        const int heights[3] = {frameHeight, frameHeight >> m_yShift, frameHeight >> m_yShift};
        for (int p = 0; p < 3; ++p) {
            m_planes[p].assign(static_cast<size_t>(widths[p]) * static_cast<size_t>(heights[p]), 0);
            m_buffer[p].width = widths[p];
            m_buffer[p].height = heights[p];
            m_buffer[p].stride = widths[p];
            m_buffer[p].data = m_planes[p].data();
        }
    }

    th_ycbcr_buffer& fill(const Frame& frame, int index)
    {
        const Options& o = m_options;
        for (int p = 0; p < 3; ++p) {
            const int xs = p == 0 ? 0 : m_xShift;
            const int ys = p == 0 ? 0 : m_yShift;
            for (int row = 0; row < m_buffer[p].height; ++row) {
                unsigned char* line = m_buffer[p].data + static_cast<size_t>(row) * m_buffer[p].stride;
                const int py = (row << ys) - o.picY; // row inside the picture
                for (int col = 0; col < m_buffer[p].width; ++col) {
                    const int px = (col << xs) - o.picX;
                    const bool inside = px >= 0 && py >= 0 && px < o.width && py < o.height;
                    const Yuv& c = !inside ? o.border : py < o.height / 2 ? frame.top : frame.bottom;
                    int value = p == 0 ? c.y : p == 1 ? c.u : c.v;
                    if (inside && p == 0 && frame.textured)
                        value = std::clamp(value + ((px + py + 3 * index) & 31) - 16, 0, 255);
                    line[col] = static_cast<unsigned char>(value);
                }
            }
        }
        return m_buffer;
    }

private:
    const Options& m_options;
    int m_xShift = 1;
    int m_yShift = 1;
    std::vector<unsigned char> m_planes[3];
    th_ycbcr_buffer m_buffer{};
};

} // namespace

std::string clip(const Options& o, const std::vector<Frame>& frames)
{
    if (o.width <= 0 || o.height <= 0 || o.picX < 0 || o.picY < 0 || o.picX > 255 || frames.empty())
        return {};
    const int frameWidth = (o.picX + o.width + 15) & ~15;
    const int frameHeight = (o.picY + o.height + 15) & ~15;
    if (frameHeight - o.height - o.picY > 255)
        return {};

    th_info info;
    th_info_init(&info);
    info.frame_width = static_cast<ogg_uint32_t>(frameWidth);
    info.frame_height = static_cast<ogg_uint32_t>(frameHeight);
    info.pic_width = static_cast<ogg_uint32_t>(o.width);
    info.pic_height = static_cast<ogg_uint32_t>(o.height);
    info.pic_x = static_cast<ogg_uint32_t>(o.picX);
    info.pic_y = static_cast<ogg_uint32_t>(o.picY);
    const bool realRate = o.fpsNumerator != 0 && o.fpsDenominator != 0;
    info.fps_numerator = realRate ? o.fpsNumerator : 25;
    info.fps_denominator = realRate ? o.fpsDenominator : 1;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = o.chroma == Chroma::k420 ? TH_PF_420 : o.chroma == Chroma::k422 ? TH_PF_422 : TH_PF_444;
    info.target_bitrate = 0;
    info.quality = std::clamp(o.quality, 0, 63);
    std::unique_ptr<th_enc_ctx, EncoderDeleter> encoder(th_encode_alloc(&info));
    th_info_clear(&info);
    if (!encoder)
        return {};
    ogg_uint32_t interval = static_cast<ogg_uint32_t>(std::max(1, o.keyframeInterval));
    th_encode_ctl(encoder.get(), TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &interval, sizeof(interval));

    std::string out;
    Stream foreign(o.serial + 1);
    if (o.foreignStream) {
        static unsigned char head[] = "\x01foreign-stream-head";
        ogg_packet packet{};
        packet.packet = head;
        packet.bytes = sizeof(head) - 1;
        packet.b_o_s = 1;
        foreign.put(packet);
        foreign.pages(out, true);
    }

    Stream video(o.serial);
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    bool first = true;
    while (th_encode_flushheader(encoder.get(), &comment, &packet) > 0) {
        if (first) {
            // The identification header goes alone on the first page.
            std::vector<unsigned char> ident(packet.packet, packet.packet + packet.bytes);
            if (ident.size() >= kFpsOffset + 8) {
                putBigEndian32(ident.data() + kFpsOffset, o.fpsNumerator);
                putBigEndian32(ident.data() + kFpsOffset + 4, o.fpsDenominator);
            }
            ogg_packet patched = packet;
            patched.packet = ident.data();
            video.put(patched);
            video.pages(out, true);
            first = false;
            continue;
        }
        video.put(packet);
    }
    th_comment_clear(&comment);
    video.pages(out, true); // data begins on a page of its own

    if (o.foreignStream) {
        static unsigned char body[] = "\x02foreign-stream-data";
        ogg_packet data{};
        data.packet = body;
        data.bytes = sizeof(body) - 1;
        data.e_o_s = 1;
        data.packetno = 1;
        foreign.put(data);
        foreign.pages(out, true);
    }

    Picture picture(o, frameWidth, frameHeight);
    for (size_t i = 0; i < frames.size(); ++i) {
        if (th_encode_ycbcr_in(encoder.get(), picture.fill(frames[i], static_cast<int>(i))) != 0)
            return {};
        const int last = i + 1 == frames.size() ? 1 : 0;
        while (th_encode_packetout(encoder.get(), last, &packet) > 0)
            video.put(packet);
        video.pages(out, false);
    }
    video.pages(out, true);
    return out;
}

} // namespace theoragen
