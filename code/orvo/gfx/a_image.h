// The engine's image: a small copyable handle to a shared, reference-counted
// texture record that owns the textures made from one image file (or one
// empty texture): the plain picture, and the blurred and grayscale copies
// that the effects make. Sprites, fonts, particles, widgets and the video
// player all hold these handles.
//
// Files: JNG through libmng, anything else through the device layer's
// decoders (PNG, JPEG, BMP). Each record has a texture format for a 16-bit
// and one for a 32-bit display; the graph server's high colour flag picks
// one. Textures keep a copy of their pixels, so they survive device resets;
// the copies that pack are kept on (aPictureCache), while its budget allows,
// for the next load of the same file.
//
// Threads: handles are made, copied, loaded and released on the loading
// thread and on the main thread (the reference count is atomic; one record's
// other fields belong to one thread at a time). Drawing is main thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvo/platform/gpu/a_gpuformat.h"
#include "orvo/platform/gpu/a_gputexture.h"
#include "orvo/util/a_geometry.h"

class aGpuDevice;
struct aGpuPicture;

class aImage {
public:
    enum Effect : int32_t { EFFECT_NONE = 0, EFFECT_BLUR = 1, EFFECT_BLOOM = 2, EFFECT_GRAYSCALE = 3 };
    // The halo's width in pixels of a bloom asked for without a radius.
    static constexpr int32_t DEFAULT_BLOOM_RADIUS = 4;
    enum SurfaceIndex : uint32_t { SURFACE_PLAIN = 0, SURFACE_BLURRED = 1, SURFACE_GRAYSCALE = 2 };

    // One texture of a record. Image sizes are the picture's, texture sizes
    // those of the texture made for it.
    struct Surface {
        std::unique_ptr<aGpuTexture> texture;
        uint16_t imageWidth = 0;
        uint16_t imageHeight = 0;
        uint16_t textureWidth = 0;
        uint16_t textureHeight = 0;
    };

    struct EffectParamInterface {
        virtual ~EffectParamInterface() = default;
    };
    struct BloomParam : EffectParamInterface {
        BloomParam() = default;
        BloomParam(int32_t r, float s) : radius(r), strength(s) {}
        int32_t radius = 0;    // pixels; 0 until a blur was asked for
        float strength = 1.0f; // scales the alpha of the halo
    };
    struct GrayScaleParam : EffectParamInterface {
        GrayScaleParam() = default;
        explicit GrayScaleParam(bool inPlace_) : inPlace(inPlace_) {}
        bool inPlace = false; // gray the picture itself instead of a copy
    };

    // What the handles share.
    struct TextureRecord {
        std::vector<int32_t> appliedEffects; // applied again, in order, after a (re)load
        Surface surfaces[3];
        std::unique_ptr<BloomParam> bloom;
        std::unique_ptr<GrayScaleParam> grayScale;
        aGpuFormat format16 = aGpuFormat::Unknown;
        aGpuFormat format32 = aGpuFormat::Unknown;
        std::atomic<uint32_t> references{1};
        std::string fileName; // empty for a file-less texture
        uint32_t width = 0;   // size of a file-less texture
        uint32_t height = 0;
        bool created = false; // a file-less texture was made

        // format32 when the graph server wants 32-bit display modes, else format16.
        aGpuFormat displayFormat() const;
        bool hasTexture() const { return surfaces[SURFACE_PLAIN].texture != nullptr; }
    };

    // A locked rectangle of the plain picture: 32-bit pixels, `pitch` of them a row.
    struct LockInfo {
        uint32_t* data = nullptr;
        uint32_t pitch = 0;
        aRect rect;

        // The pixel at (x, y) of the locked rectangle; a point outside it
        // throws aException.
        uint32_t GetColorAt(uint32_t x, uint32_t y) const;
    };

    // A new empty record, no texture yet.
    aImage();
    // A new record for the file, loaded at once.
    aImage(const std::string& file, aGpuFormat format16, aGpuFormat format32);
    aImage(const aImage& other);
    aImage& operator=(const aImage& other);
    ~aImage();

    // Gives up this handle's reference; the last one destroys the record.
    // The handle is left without a record (drawing does nothing; load and
    // create give it a new one).
    void release();
    // Loads a file into a record of this handle's own (handles sharing the
    // old record keep the old picture). Returns the plain surface.
    Surface* load(const std::string& file, aGpuFormat format16, aGpuFormat format32);
    // An empty A8R8G8B8 texture of that size (the video player draws into it).
    void create(uint32_t width, uint32_t height);

    // Drawing between the graph server's beginScene and endScene. `position`
    // and `scale` and `centre` point at two floats (scale and centre may be
    // null: 1, 1 and the middle); `source` is a rectangle of the shown
    // surface; the colour is modulated by the graph server's global colour;
    // rotation in radians about the centre (in source pixels).
    void draw(const float* position, const aRect& source, aColor color = 0xFFFFFFFF, const float* scale = nullptr,
              float rotation = 0.0f, const float* centre = nullptr, bool regionMode = false);
    void drawAt(int16_t x, int16_t y, aColor color = 0xFFFFFFFF, const float* scale = nullptr, float rotation = 0.0f,
                const float* centre = nullptr);
    void drawAtF(float x, float y, aColor color = 0xFFFFFFFF, const float* scale = nullptr, float rotation = 0.0f,
                 const float* centre = nullptr);
    void drawRegionAt(int16_t x, int16_t y, const aRect& source, aColor color = 0xFFFFFFFF,
                      const float* scale = nullptr, float rotation = 0.0f, const float* centre = nullptr);

    // 0 shows the plain picture, 1 the blurred one, 2 the plain one with a
    // blurred halo (bloom), 3 the grayscale one (or the plain one grayed in
    // place). `params` is a BloomParam for 1 and 2, a GrayScaleParam for 3,
    // or null; a bloom without a radius gets DEFAULT_BLOOM_RADIUS (or the
    // blur made before). False when the record has no texture, for an
    // unknown effect, or when the effect cannot be made (logged).
    bool setEffect(int32_t type, const EffectParamInterface* params = nullptr);

    // Locks a rectangle of the plain picture (null: all of it); A8R8G8B8 only.
    [[nodiscard]] bool lock(LockInfo& out, const aRect* rect = nullptr, bool readOnly = false);
    void unlock();
    // ARGB of one pixel; 0 outside the picture or without a texture.
    uint32_t getPixel(int32_t x, int32_t y);

    // Decodes an image file on the CPU (ARGB words, top row first) without a
    // device and whatever the display format, for pictures read as data.
    // False, logged, when the file is missing or cannot be decoded.
    [[nodiscard]] static bool decodeFile(const std::string& file, aGpuPicture& out);

    // The pixel rule shared by decoding, effects and pixel access.
    static void writeLockedPixel(aGpuFormat format, void* at, uint32_t argb);
    static uint32_t readLockedPixel(aGpuFormat format, const void* at);

    TextureRecord* getRecord() const { return m_record; }
    const Surface* getSurface() const { return m_surface; }
    int32_t getEffect() const { return m_effect; }
    bool hasTexture() const { return m_record && m_record->hasTexture(); }
    uint16_t getWidth() const { return m_record ? m_record->surfaces[SURFACE_PLAIN].imageWidth : 0; }
    uint16_t getHeight() const { return m_record ? m_record->surfaces[SURFACE_PLAIN].imageHeight : 0; }
    const std::string& getFileName() const;
    uint32_t getReferenceCount() const { return m_record ? m_record->references.load() : 0; }

private:
    // Drops the reference to a record that has a texture and takes a new one.
    void detach();
    // Shows the plain surface, no effect (when there is a texture).
    void showPlain();
    void loadTexture();
    // The plain picture of the record's file: a kept packed copy of it, or its decoding (which is kept).
    aGpuResult loadFile(aGpuDevice& device, std::unique_ptr<aGpuTexture>& texture, uint32_t& width, uint32_t& height);
    aGpuResult createFromMNG(aGpuDevice& device, const uint8_t* data, uint32_t size, aGpuPicture& picture,
                             std::unique_ptr<aGpuTexture>& out);
    void applyEffectsAgain();
    bool applyBlur(int32_t radius);
    bool applyGrayScale(bool inPlace);
    void drawSurface(const Surface& surface, const float* position, const aRect& source, uint32_t color,
                     const float* scale, float rotation, const float* centre);
    static void freeTextures(TextureRecord* record);

    TextureRecord* m_record = nullptr;
    Surface* m_surface = nullptr;
    int32_t m_effect = EFFECT_NONE;
};
