// One particle effect: an emitter at a point of the screen that gives off
// textured, coloured, rotating quads, simulated in fixed steps of 1 / fps.
// Its parameters come from a particle definition file (a template) or are
// copied from a template; the particles manager owns both kinds.
//
// Every system draws through one vertex buffer and one index buffer shared
// by all systems: made by the first system constructed (on whatever thread
// constructs it) and released with the last one. Systems are constructed and
// destroyed by one thread at a time; update and render belong to the main
// thread. There is no lock.
//
// Random numbers come from the calling thread's a_rand state, drawn in a
// fixed order, so a seeded run is reproducible.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "orvo/gfx/a_particle.h"
#include "orvo/util/a_geometry.h"

class aGpuIndexBuffer;
class aGpuTexture;
class aGpuVertexBuffer;
class aImage;
class aImageManager;

class aParticleSystem {
public:
    // Most particles one system has alive; also the capacity of the shared buffers.
    static constexpr uint32_t MAX_PARTICLES = 2000;
    // A drawn particle life below this is raised to it: a zero life would
    // divide the size and colour keys by zero.
    static constexpr float MIN_PARTICLE_LIFE = 0.001f;
    // A higher "fps" is read as this one (logged). One update runs at most
    // MAX_STEPS_PER_UPDATE steps; the time beyond them is dropped, so a long
    // stall costs one bounded update, not a burst of catching up.
    static constexpr int32_t MAX_FPS = 1000;
    static constexpr int32_t MAX_STEPS_PER_UPDATE = 250;

    // The values of a definition file, as read (see the reader for defaults).
    struct Params {
        int32_t maxParticles = 100;
        int32_t fps = 0;
        int32_t blendMode = 0;
        int32_t emitterType = 0;
        float emitterSize[2] = {0.0f, 0.0f};
        float emitterAngle = 0.0f;
        bool spinByDir = false;
        float colorStart[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // R, G, B, A
        float colorMid[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        float colorEnd[4] = {1.0f, 1.0f, 1.0f, 0.0f};
        float colorVar = 0.0f;
        float alphaVar = 0.0f;
        float spin[3] = {0.0f, 0.0f, 0.0f}; // min, max, chance of turning the other way
        float sizeMin[2] = {32.0f, 32.0f};
        float sizeMid[2] = {32.0f, 32.0f};
        float sizeMax[2] = {32.0f, 32.0f};
        float sizeVar = 0.0f;
        float particleLife[2] = {2.0f, 3.0f};
        float gravity[2] = {0.0f, 0.0f};
        float wind[2] = {0.0f, 0.0f};
        float radialAcc[2] = {0.0f, 0.0f};
        float tangentialAcc[2] = {0.0f, 0.0f};
        float velocity[2] = {30.0f, 50.0f};
        float spread[2] = {0.0f, 6.2831855f};
        bool spreadRelative = false;
        bool oldColorRnd = false;
        bool loopPs = false;
        bool killOffScreen = false;
        bool randFlip = false;
        bool defFlip = false;
        float rotCenter[2] = {0.5f, 0.5f};
        float emitterLife[2] = {32.0f, 32.0f};
        float emitterRestartTime[2] = {32.0f, 32.0f};
        float emitPerSec[2] = {1.0f, 1.0f};
        float startDelay = 0.0f;
    };

    // Reads the definition file at `path` (an engine path). The texture is
    // looked up in `images` (may be null) within `listName` ("" for none).
    // The system does nothing until it is restarted.
    aParticleSystem(const std::string& path, aImageManager* images, const std::string& listName);
    // A copy of a template: its parameters and image, none of its state.
    explicit aParticleSystem(const aParticleSystem& templateSystem);
    ~aParticleSystem();
    aParticleSystem& operator=(const aParticleSystem&) = delete;

    void copyFrom(const aParticleSystem& templateSystem);

    // Starts the emitter (after the start delay); a burst emitter bursts at once.
    void restart();
    void restartAt(float x, float y);
    // Moves the emitter; live particles stay where they are.
    void setPosition(float x, float y);
    // Moves the emitter and every live particle with it.
    void moveTo(float x, float y);
    // Ends emission; the emitter does not restart by itself.
    void stop();
    // How long the running emission lasts from its start, in seconds; -1 for
    // ever (a restart draws it again from the definition).
    void setCurrentLife(float seconds) { m_currentLife = seconds; }
    // Drops every live particle and the clock; the drawn emitter values stay.
    void reset();
    // Advances by dt seconds in whole steps; the rest is carried over.
    void update(float dt);

    // Main thread, between the graph server's beginScene and endScene.
    // Without a picture or live particles nothing is drawn.
    void render();
    // The picture each particle shows: `source` of `image` (null: all of
    // it). The system keeps its own handle. A null image leaves the system
    // without one; it then draws nothing.
    void setImage(const aImage* image, const aRect* source);
    // The particle's corners rounded to pixels, as one rectangle.
    static void getParticleRect(const aParticle& particle, aRect& out);
    // A colour channel as a byte: 1 or more gives 255; 0, less or NaN gives 0.
    static uint32_t packChannel(float value);
    // R, G, B, A floats as one ARGB word.
    static uint32_t packColor(const float rgba[4]);

    bool isActive() const { return m_active; }
    bool isFinished() const { return m_finished; }
    // Not emitting and nothing left alive.
    bool isDone() const { return !m_active && m_liveCount == 0; }
    uint32_t getLiveCount() const { return m_liveCount; }
    // The newest live particle; the others follow through `next`.
    const aParticle* getLiveParticles() const { return m_live; }
    float getX() const { return m_x; }
    float getY() const { return m_y; }
    float getClock() const { return m_clock; }
    float getCurrentLife() const { return m_currentLife; }
    float getCurrentRestartTime() const { return m_currentRestartTime; }
    float getCurrentRate() const { return m_currentRate; }
    float getDelayCountdown() const { return m_delayCountdown; }
    const Params& getParams() const { return m_params; }
    const std::string& getTextureName() const { return m_textureName; }
    const aRect& getScreen() const { return m_screen; }
    const aImage* getImage() const { return m_image.get(); }
    const aRect& getSource() const { return m_source; }
    // Particle records the system has made (live and pooled); never more than its limit.
    size_t getRecordCount() const { return m_records.size(); }

    // The shared drawing buffers and how many systems use them.
    static int32_t getBufferUsers() { return ms_bufferUsers; }
    static aGpuVertexBuffer* getVertexBuffer() { return ms_vertexBuffer.get(); }
    static aGpuIndexBuffer* getIndexBuffer() { return ms_indexBuffer.get(); }

private:
    void setDefaults();
    void readDefinition(const std::string& path, aImageManager* images, const std::string& listName);
    // Takes the picture named by the "texture" value from `images` (null: none).
    void lookUpTexture(aImageManager* images, const std::string& listName);
    void copyImageFrom(const aParticleSystem& templateSystem);
    // The texture particles are drawn with; null without a picture.
    aGpuTexture* texture() const;
    void createSharedBuffers();
    static void releaseSharedBuffers();

    void step(float dt);
    void emit(float count);
    // Starts a life: a new particle (p null, full) or a new life of p where it is.
    void spawnParticle(aParticle* p, float c, float s, float base, bool full);
    void updateParticle(aParticle& p, float dt, float age);
    void computeCorners(aParticle& p) const;
    bool isOffScreen(const aParticle& p) const;
    uint32_t emissionLimit() const;

    aParticle* m_live = nullptr;
    aParticle* m_pool = nullptr;
    float m_clock = 0.0f;
    float m_lastEmission = 0.0f;
    float m_emissionStart = 0.0f;
    float m_accumulator = 0.0f;
    uint32_t m_liveCount = 0;
    bool m_active = false;
    float m_prevX = 0.0f;
    float m_prevY = 0.0f;

    float m_currentLife = -1.0f;       // -1 forever, 0 burst
    float m_currentRestartTime = 0.0f; // -1 never
    float m_currentRate = 0.0f;
    aRect m_screen;
    // Texture coordinates of the corners top-left, top-right, bottom-left,
    // bottom-right (u, v), plain and mirrored left to right.
    float m_plainUV[4][2] = {};
    float m_mirroredUV[4][2] = {};
    std::unique_ptr<aImage> m_image;
    aRect m_source;
    std::string m_textureName;
    bool m_finished = false;
    Params m_params;
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_delayCountdown = -1.0f; // negative: never started

    // Owns every particle record; a deque never moves what it holds.
    std::deque<aParticle> m_records;

    static std::unique_ptr<aGpuVertexBuffer> ms_vertexBuffer;
    static std::unique_ptr<aGpuIndexBuffer> ms_indexBuffer;
    static int32_t ms_bufferUsers;
};
