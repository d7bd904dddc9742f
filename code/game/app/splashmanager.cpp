#include "game/app/splashmanager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "orvo/app/a_application.h"
#include "orvo/app/a_fileserver.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/app/a_keys.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/gfx/a_image.h"
#include "orvo/gfx/a_theoravideo.h"
#include "orvo/sound/a_sound.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000;

float channel(uint32_t argb, int shift)
{
    return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
}

uint32_t toByte(float c)
{
    return static_cast<uint32_t>(std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// A key that is absent reads as empty without a log line: most records leave some out.
std::string value(const aOptionsFile& file, const char* key)
{
    return file.findKey(key) ? file.getString(key) : std::string();
}

uint32_t hexValue(const std::string& text)
{
    unsigned v = 0;
    return std::sscanf(text.c_str(), "%x", &v) == 1 ? static_cast<uint32_t>(v) : 0;
}

float seconds(const std::string& text)
{
    const float s = std::strtof(text.c_str(), nullptr);
    // A negative or unreadable time counts as no time at all.
    return s > 0.0f && s < 1.0e6f ? s : 0.0f;
}

} // namespace

SplashManager::SplashManager(const std::string& settingsPath)
{
    if (aApplication* app = aApplication::get())
        m_graph = app->getGraphServer();
    load(settingsPath);
}

SplashManager::~SplashManager()
{
    stopCurrent();
}

void SplashManager::load(const std::string& settingsPath)
{
    aOptionsFile file;
    if (!aFileServer::getSingletonPtr() || !aFileServer::getSingletonPtr()->exists(settingsPath) ||
        !file.loadFile(settingsPath.c_str()))
        return;
    const size_t slash = settingsPath.find_last_of("/:");
    const std::string folder = slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1);
    for (file.firstSection(); !file.isSectionEnd(); file.nextSection()) {
        if (file.getSectionName() != "splash")
            continue;
        Record r;
        const std::string picture = value(file, "image");
        const std::string sound = value(file, "sound");
        r.picture = picture.empty() ? std::string() : folder + picture;
        r.sound = sound.empty() ? std::string() : folder + sound;
        r.video = std::atoi(value(file, "video").c_str()) != 0;
        r.centered = std::atoi(value(file, "centered").c_str()) != 0;
        r.fadeInColour = hexValue(value(file, "fadeincolor"));
        r.fadeOutColour = hexValue(value(file, "fadeoutcolor"));
        r.fadeInTime = seconds(value(file, "fadeintime"));
        r.fadeOutTime = seconds(value(file, "fadeouttime"));
        r.skip = std::atoi(value(file, "skip").c_str());
        r.showTime = seconds(value(file, "showtime"));
        m_records.push_back(r);
    }
}

void SplashManager::start(bool on)
{
    if (on) {
        if (!m_records.empty())
            showSplash(0);
        return;
    }
    m_index = -1;
    setClearColour(kBlack);
    stopCurrent();
}

void SplashManager::setClearColour(uint32_t argb)
{
    if (m_graph)
        m_graph->setClearColor(argb);
}

void SplashManager::showSplash(int32_t index)
{
    m_index = index;
    m_current = m_records[static_cast<size_t>(index)];
    // The fades of this splash run on its own times, also after a skip moved the index on.
    m_fadeInTotal = m_current.fadeInTime;
    m_fadeOutTotal = m_current.fadeOutTime;
    setClearColour(m_current.fadeInColour);
    m_sound.reset();
    if (!m_current.video) {
        if (!m_image)
            m_image = std::make_unique<aImage>();
        m_image->release();
        if (!m_current.picture.empty())
            m_image->load(m_current.picture, aGpuFormat::A4R4G4B4, aGpuFormat::A8R8G8B8);
        if (!m_current.sound.empty()) {
            m_sound = std::make_unique<aSound>(m_current.sound.c_str(), 1.0f);
            m_sound->setMasterVolume(0.0f);
            m_sound->play(false, -1.0f, -2.0f);
        }
        if (m_video)
            m_video->close();
    } else {
        if (!m_video)
            m_video = std::make_unique<aTheoraVideo>();
        // A clip that does not open draws nothing for its time.
        (void)m_video->open(m_current.picture, false);
    }
    m_fade = 0.0f;
}

void SplashManager::stopCurrent()
{
    m_image.reset();
    m_video.reset();
    m_sound.reset();
}

void SplashManager::setFade(float f)
{
    m_fade = f;
    m_appliedFade = f;
    // Only the splash's own sound follows the fade: a clip has no sound of
    // its own here, and the player's stored volumes are never touched.
    if (m_sound)
        m_sound->setMasterVolume(f);
}

bool SplashManager::skipAsked() const
{
    const aApplication* app = aApplication::get();
    const aInputServer* input = app ? app->getInputServer() : nullptr;
    if (!input)
        return false;
    for (uint32_t state : input->buttonStates)
        if (state == A_STATE_PRESSED)
            return true;
    return input->keyStates[A_KEY_SPACE] == A_STATE_PRESSED || input->keyStates[A_KEY_ESCAPE] == A_STATE_PRESSED;
}

bool SplashManager::update(float dt)
{
    if (m_index < 0)
        return false;
    if (m_current.video && m_video)
        m_video->update(dt);

    if (m_current.fadeInTime > 0.0f) {
        m_current.fadeInTime -= dt;
        if (m_current.fadeInTime >= 0.0f) {
            setClearColour(m_current.fadeInColour);
            setFade(std::clamp(1.0f - m_current.fadeInTime / m_fadeInTotal, 0.0f, 1.0f));
            return true;
        }
    }

    if (m_current.showTime > 0.0f) {
        m_current.showTime -= dt;
        m_fade = 1.0f;
        setClearColour(m_current.fadeInColour);
        if (m_current.skip != SKIP_NONE && skipAsked()) {
            m_current.showTime = 0.0f;
            m_current.fadeInTime = 0.0f;
            if (m_current.skip == SKIP_ALL)
                m_index = static_cast<int32_t>(m_records.size()) - 1;
        }
        return true;
    }

    if (m_current.fadeOutTime > 0.0f) {
        m_current.fadeOutTime -= dt;
        if (m_current.fadeOutTime >= 0.0f) {
            const float f = std::clamp(m_current.fadeOutTime / m_fadeOutTotal, 0.0f, 1.0f);
            uint32_t colour = 0xFF000000;
            for (int shift : {16, 8, 0}) {
                const float out = channel(m_current.fadeOutColour, shift);
                const float in = channel(m_current.fadeInColour, shift);
                colour |= toByte(out + f * (in - out)) << shift;
            }
            setClearColour(colour);
            setFade(f);
            return true;
        }
    }

    if (m_index + 1 >= static_cast<int32_t>(m_records.size())) {
        m_index = -1;
        setClearColour(kBlack);
        stopCurrent();
        return false;
    }
    showSplash(m_index + 1);
    return true;
}

bool SplashManager::placement(int32_t width, int32_t height, float& x, float& y, float scale[2]) const
{
    // A picture that did not load, or a clip that closed, has no size to place.
    if (!m_graph || width <= 0 || height <= 0)
        return false;
    const float screenW = m_graph->getGameWidth();
    const float screenH = m_graph->getGameHeight();
    if (m_current.centered) {
        x = (screenW - static_cast<float>(width)) / 2.0f;
        y = (screenH - static_cast<float>(height)) / 2.0f;
        scale[0] = scale[1] = 1.0f;
    } else {
        x = y = 0.0f;
        scale[0] = screenW / static_cast<float>(width);
        scale[1] = screenH / static_cast<float>(height);
    }
    return true;
}

void SplashManager::draw()
{
    if (m_index < 0)
        return;
    uint32_t colour = 0;
    if (m_current.showTime > 0.0f || m_current.fadeInTime > 0.0f) {
        colour = toByte(m_fade) << 24 | 0x00FFFFFF;
    } else {
        for (int shift : {24, 16, 8, 0}) {
            const float out = channel(m_current.fadeOutColour, shift);
            colour |= toByte(out + m_fade * (1.0f - out)) << shift;
        }
    }
    float x = 0.0f, y = 0.0f, scale[2] = {1.0f, 1.0f};
    if (m_current.video) {
        if (m_video && placement(m_video->getWidth(), m_video->getHeight(), x, y, scale))
            m_video->draw(x, y, colour, nullptr, scale);
    } else if (m_image && placement(m_image->getWidth(), m_image->getHeight(), x, y, scale)) {
        m_image->drawAtF(x, y, colour, scale);
    }
}
