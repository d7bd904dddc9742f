#include "orvo/gfx/a_imagemng.h"

#include <libmng.h>

#include <bit>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the canvas is read as ARGB words");

namespace {

// What one decode call shares with its callbacks (the handle's user data).
struct Decoder {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t* canvas = nullptr;
    bool tooLarge = false;
};

Decoder& decoderOf(mng_handle handle)
{
    return *static_cast<Decoder*>(mng_get_userdata(handle));
}

bool fits(uint32_t width, uint32_t height)
{
    return width > 0 && height > 0 && width <= gpuMaxImageSide && height <= gpuMaxImageSide &&
           static_cast<uint64_t>(width) * height <= gpuMaxImagePixels;
}

// Every block libmng takes during one decode, so that what it forgets to
// give back on a damaged stream is freed when the decode ends. libmng's
// allocator has no user data; it runs on the decoding thread, so the decode
// in progress is found through a thread-local pointer.
class Arena {
public:
    Arena() = default;
    ~Arena()
    {
        while (m_head.next != &m_head) {
            Block* block = m_head.next;
            unlink(block);
            std::free(block);
        }
    }
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    // Zeroed memory: libmng relies on it for the structures it allocates.
    // Null once the decode has taken its budget.
    void* allocate(size_t size)
    {
        if (size > kBudget - m_taken)
            return nullptr;
        auto* block = static_cast<Block*>(std::calloc(1, sizeof(Block) + size));
        if (!block)
            return nullptr;
        block->size = size;
        m_taken += size;
        block->next = m_head.next;
        block->prev = &m_head;
        m_head.next->prev = block;
        m_head.next = block;
        return block + 1;
    }
    void release(void* pointer)
    {
        if (!pointer)
            return;
        Block* block = static_cast<Block*>(pointer) - 1;
        m_taken -= block->size;
        unlink(block);
        std::free(block);
    }

private:
    // What one decode may hold at once: the largest picture libmng may keep
    // at 16 bits a channel, and room for its other buffers.
    static constexpr size_t kBudget = static_cast<size_t>(gpuMaxImagePixels) * 8 + (16u << 20);

    struct alignas(std::max_align_t) Block {
        Block* prev = nullptr;
        Block* next = nullptr;
        size_t size = 0;
    };
    static void unlink(Block* block)
    {
        block->prev->next = block->next;
        block->next->prev = block->prev;
    }
    Block m_head{&m_head, &m_head, 0};
    size_t m_taken = 0;
};

thread_local Arena* t_arena = nullptr;

// Makes the arena the current one of this thread for the life of a decode.
class ArenaScope {
public:
    explicit ArenaScope(Arena* arena) : m_previous(t_arena) { t_arena = arena; }
    ~ArenaScope() { t_arena = m_previous; }
    ArenaScope(const ArenaScope&) = delete;
    ArenaScope& operator=(const ArenaScope&) = delete;

private:
    Arena* m_previous;
};

mng_ptr MNG_DECL mngAlloc(mng_size_t size)
{
    return t_arena ? t_arena->allocate(size) : nullptr;
}

void MNG_DECL mngFree(mng_ptr pointer, mng_size_t)
{
    if (t_arena)
        t_arena->release(pointer);
}

mng_bool MNG_DECL mngOpenStream(mng_handle)
{
    return MNG_TRUE;
}

mng_bool MNG_DECL mngCloseStream(mng_handle)
{
    return MNG_TRUE;
}

// Never reads past the end: a request beyond it gets what is left (possibly
// nothing), and libmng reports the truncated stream as an error.
mng_bool MNG_DECL mngReadData(mng_handle handle, mng_ptr buffer, mng_uint32 wanted, mng_uint32p got)
{
    Decoder& d = decoderOf(handle);
    const size_t left = d.size - d.position;
    const size_t count = wanted < left ? wanted : left;
    if (count > 0)
        std::memcpy(buffer, d.data + d.position, count);
    d.position += count;
    *got = static_cast<mng_uint32>(count);
    return MNG_TRUE;
}

mng_bool MNG_DECL mngProcessHeader(mng_handle handle, mng_uint32 width, mng_uint32 height)
{
    Decoder& d = decoderOf(handle);
    if (!fits(width, height)) {
        d.tooLarge = true;
        return MNG_FALSE;
    }
    return MNG_TRUE;
}

mng_ptr MNG_DECL mngGetCanvasLine(mng_handle handle, mng_uint32 row)
{
    Decoder& d = decoderOf(handle);
    if (!d.canvas || row >= d.height)
        return nullptr;
    return d.canvas + static_cast<size_t>(d.width) * row;
}

mng_bool MNG_DECL mngRefresh(mng_handle, mng_uint32, mng_uint32, mng_uint32, mng_uint32)
{
    return MNG_TRUE;
}

mng_uint32 MNG_DECL mngGetTickCount(mng_handle)
{
    using namespace std::chrono;
    return static_cast<mng_uint32>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

mng_bool MNG_DECL mngSetTimer(mng_handle, mng_uint32)
{
    return MNG_TRUE;
}

// Owns the libmng handle of one call.
class Handle {
public:
    explicit Handle(Decoder* decoder) : m_handle(mng_initialize(decoder, mngAlloc, mngFree, MNG_NULL)) {}
    ~Handle()
    {
        if (m_handle)
            mng_cleanup(&m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    mng_handle get() const { return m_handle; }

private:
    mng_handle m_handle;
};

uint32_t bigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

bool isMng(const uint8_t* data, size_t size)
{
    static const uint8_t signature[4] = {0x8A, 0x4D, 0x4E, 0x47};
    return size >= 4 && std::memcmp(data, signature, 4) == 0;
}

// The MNG stream without its loop chunks (LOOP, ENDL, TERM). Only the first
// frame is wanted, which they do not change, and an animation that repeats
// frames without delays would otherwise keep the display call busy forever.
// Whatever cannot be walked as whole chunks is kept as it stands. False when
// an image inside is larger than the limits (libmng only asks about the
// frame size).
bool withoutLoops(const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
    out.assign(data, data + (size < 8 ? size : 8));
    size_t at = out.size();
    while (at + 12 <= size) {
        const uint32_t length = bigEndian32(data + at);
        if (length > size - at - 12)
            break;
        const uint8_t* type = data + at + 4;
        const bool loop =
            std::memcmp(type, "LOOP", 4) == 0 || std::memcmp(type, "ENDL", 4) == 0 || std::memcmp(type, "TERM", 4) == 0;
        const bool header =
            std::memcmp(type, "IHDR", 4) == 0 || std::memcmp(type, "JHDR", 4) == 0 || std::memcmp(type, "BASI", 4) == 0;
        if (header && length >= 8 && !fits(bigEndian32(data + at + 8), bigEndian32(data + at + 12)))
            return false;
        if (!loop)
            out.insert(out.end(), data + at, data + at + 12 + length);
        at += 12 + length;
    }
    out.insert(out.end(), data + at, data + size);
    return true;
}

bool installCallbacks(mng_handle h)
{
    return mng_setcb_openstream(h, mngOpenStream) == MNG_NOERROR &&
           mng_setcb_closestream(h, mngCloseStream) == MNG_NOERROR &&
           mng_setcb_readdata(h, mngReadData) == MNG_NOERROR &&
           mng_setcb_processheader(h, mngProcessHeader) == MNG_NOERROR &&
           mng_setcb_getcanvasline(h, mngGetCanvasLine) == MNG_NOERROR &&
           mng_setcb_refresh(h, mngRefresh) == MNG_NOERROR &&
           mng_setcb_gettickcount(h, mngGetTickCount) == MNG_NOERROR &&
           mng_setcb_settimer(h, mngSetTimer) == MNG_NOERROR;
}

} // namespace

bool image_isJng(const void* data, size_t size)
{
    static const uint8_t signature[4] = {0x8B, 0x4A, 0x4E, 0x47};
    return data && size >= 4 && std::memcmp(data, signature, 4) == 0;
}

bool image_decodeMng(const void* data, size_t size, aGpuPicture& out)
{
    out = {};
    if (!data || size == 0)
        return false;
    Decoder decoder;
    decoder.data = static_cast<const uint8_t*>(data);
    decoder.size = size;
    std::vector<uint8_t> filtered;
    if (isMng(decoder.data, size)) {
        if (!withoutLoops(decoder.data, size, filtered))
            return false;
        decoder.data = filtered.data();
        decoder.size = filtered.size();
    }
    // Declared before the handle: the handle is cleaned up first, then the
    // arena frees whatever libmng left behind.
    Arena arena;
    ArenaScope scope(&arena);
    Handle handle(&decoder);
    const mng_handle h = handle.get();
    if (!h || !installCallbacks(h))
        return false;
    if (mng_read(h) != MNG_NOERROR || decoder.tooLarge)
        return false;
    decoder.width = mng_get_imagewidth(h);
    decoder.height = mng_get_imageheight(h);
    if (!fits(decoder.width, decoder.height))
        return false;

    out.width = decoder.width;
    out.height = decoder.height;
    out.pixels.assign(static_cast<size_t>(decoder.width) * decoder.height, 0);
    decoder.canvas = out.pixels.data();
    // 32-bit pixels stored as B, G, R, A bytes: on this little-endian
    // machine each one reads as an ARGB word.
    if (mng_set_canvasstyle(h, MNG_CANVAS_BGRA8) != MNG_NOERROR) {
        out = {};
        return false;
    }
    // One display call. An animation stops at its first timer wait
    // (MNG_NEEDTIMERWAIT) and is never resumed: a picture of several frames
    // gives its first frame (all of them composed when they have no delays).
    const mng_retcode shown = mng_display(h);
    if (shown != MNG_NOERROR && shown != MNG_NEEDTIMERWAIT) {
        out = {};
        return false;
    }
    return true;
}
