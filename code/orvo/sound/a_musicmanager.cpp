#include "orvo/sound/a_musicmanager.h"

#include <chrono>

#include "orvo/app/a_application.h"
#include "orvo/util/a_log.h"

namespace {

constexpr float kStep = 0.02f;
constexpr auto kPeriod = std::chrono::milliseconds(20);

} // namespace

std::string aMusicManager::streamName(const std::string& path)
{
    std::string name = path;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    const size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

aMusicManager::aMusicManager(bool runThread) : m_paused(&aApplication::isApplicationPaused)
{
    if (runThread)
        m_thread = std::thread(&aMusicManager::threadProc, this);
}

aMusicManager::~aMusicManager()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_wakeMutex);
            m_stop = true;
        }
        m_wake.notify_all();
        // Joined, not abandoned: the thread touches the streams freed below.
        m_thread.join();
    }
    aCriticalSectionHolder lock(this);
    for (size_t i = m_streams.size(); i-- > 0;) {
        m_streams[i]->close();
        m_streams[i].reset();
    }
    m_streams.clear();
}

void aMusicManager::threadProc(aMusicManager* manager)
{
    std::unique_lock lock(manager->m_wakeMutex);
    while (!manager->m_wake.wait_for(lock, kPeriod, [manager] { return manager->m_stop.load(); })) {
        lock.unlock();
        manager->tick();
        lock.lock();
    }
}

void aMusicManager::tick()
{
    const PausedQuery paused = m_paused.load();
    if (paused && paused())
        return;
    update(kStep);
}

bool aMusicManager::addMusic(const std::string& path, const std::string& listName)
{
    // Opened outside the lock: reading a file must not hold up the fades.
    auto music = std::make_unique<aMusic>(path.c_str(), 1.0f);
    if (!music->isOpen()) {
        music->close();
        a_log("aMusicManager. Music with name \"%s\" is invalid!", path.c_str());
        return false;
    }
    aCriticalSectionHolder lock(this);
    m_streams.push_back(std::move(music));
    m_names.push_back(streamName(path));
    m_listNames.push_back(listName);
    m_states.push_back(STOPPED);
    m_volumes.push_back(1.0f);
    m_fades.push_back(0.0f);
    return true;
}

int aMusicManager::findMusic(const std::string& name, const std::string& listName)
{
    aCriticalSectionHolder lock(this);
    for (size_t i = 0; i < m_streams.size(); ++i)
        if (m_listNames[i] == listName && m_names[i] == name)
            return static_cast<int>(i);
    return -1;
}

bool aMusicManager::play(const std::string& name, const std::string& listName, bool fadeIn)
{
    aCriticalSectionHolder lock(this);
    const int i = findMusic(name, listName);
    if (i < 0)
        return false;
    if (m_states[i] == PLAYING || m_states[i] == FADING_IN)
        return true;
    if (fadeIn) {
        // A piece that is fading out turns round where it stands.
        if (m_states[i] != FADING_OUT) {
            m_fades[i] = 0.0f;
            m_streams[i]->setVolume(m_volumes[i] * m_fades[i]);
        }
    } else {
        m_streams[i]->setVolume(m_volumes[i]);
    }
    // A piece that is fading out still sounds and is not started again.
    if (m_states[i] == STOPPED)
        m_streams[i]->play();
    m_states[i] = fadeIn ? FADING_IN : PLAYING;
    m_current = static_cast<int16_t>(i);
    return true;
}

bool aMusicManager::stop(bool fadeOut)
{
    aCriticalSectionHolder lock(this);
    if (m_current < 0)
        return false;
    if (fadeOut) {
        // A fade-out always starts from the full volume.
        m_states[m_current] = FADING_OUT;
        m_fades[m_current] = 1.0f;
    } else {
        m_states[m_current] = STOPPED;
        m_streams[m_current]->stop();
    }
    m_current = -1;
    return true;
}

void aMusicManager::switchTo(const std::string& name, float volume, bool fadeOut, bool fadeIn,
                             const std::string& listName)
{
    aCriticalSectionHolder lock(this);
    if (m_current >= 0 && m_listNames[m_current] == listName && m_names[m_current] == name)
        return;
    if (m_current >= 0)
        stop(fadeOut);
    setMusicVolume(name, volume, listName);
    play(name, listName, fadeIn);
}

void aMusicManager::applyVolume(int i, float volume)
{
    const float before = m_volumes[i];
    m_volumes[i] = volume;
    if (m_states[i] == FADING_IN || m_states[i] == FADING_OUT) {
        // A higher volume waits for the next fade step. A lower one is heard
        // at once, through the fade: the bare value would jump out of it.
        if (volume < before)
            m_streams[i]->setVolume(volume * m_fades[i]);
        return;
    }
    m_streams[i]->setVolume(volume);
}

void aMusicManager::setVolume(float volume)
{
    aCriticalSectionHolder lock(this);
    for (size_t i = 0; i < m_streams.size(); ++i)
        applyVolume(static_cast<int>(i), volume);
}

bool aMusicManager::setMusicVolume(const std::string& name, float volume, const std::string& listName)
{
    aCriticalSectionHolder lock(this);
    const int i = findMusic(name, listName);
    if (i < 0)
        return false;
    applyVolume(i, volume);
    return true;
}

std::string aMusicManager::getCurrentName(std::string& listName)
{
    // Under the lock: unloading a list may change the names at the same time.
    aCriticalSectionHolder lock(this);
    if (m_current < 0) {
        listName.clear();
        return "";
    }
    listName = m_listNames[m_current];
    return m_names[m_current];
}

void aMusicManager::update(float dt)
{
    aCriticalSectionHolder lock(this);
    for (size_t i = 0; i < m_streams.size(); ++i) {
        if (m_states[i] == FADING_IN) {
            m_fades[i] += dt;
            if (m_fades[i] >= 1.0f) {
                m_fades[i] = 1.0f;
                m_states[i] = PLAYING;
            }
            m_streams[i]->setVolume(m_fades[i] * m_volumes[i]);
        } else if (m_states[i] == FADING_OUT) {
            m_fades[i] -= dt;
            if (m_fades[i] <= 0.0f) {
                m_fades[i] = 0.0f;
                m_states[i] = STOPPED;
                m_streams[i]->stop();
            }
            m_streams[i]->setVolume(m_fades[i] * m_volumes[i]);
        }
    }
}

void aMusicManager::loadItem(const std::string& folder, const std::string& line, const std::string& listName)
{
    (void)addMusic(folder + line, listName);
    if (m_itemLoaded)
        m_itemLoaded(line.c_str());
}

void aMusicManager::AddFileToTask(const std::string& folder, const std::string& line, const std::string& listName)
{
    aCriticalSectionHolder lock(this);
    aBaseManager::AddFileToTask(folder, line, listName);
}

std::string aMusicManager::getItemFile(const std::string& line)
{
    const size_t slash = line.find_last_of("/\\");
    return slash == std::string::npos ? line : line.substr(slash + 1);
}

bool aMusicManager::unloadItem(const std::string& line, const std::string& listName)
{
    aCriticalSectionHolder lock(this);
    const int i = findMusic(streamName(line), listName);
    if (i < 0)
        return false;
    m_streams[i]->close();
    m_streams.erase(m_streams.begin() + i);
    m_names.erase(m_names.begin() + i);
    m_listNames.erase(m_listNames.begin() + i);
    m_states.erase(m_states.begin() + i);
    m_volumes.erase(m_volumes.begin() + i);
    m_fades.erase(m_fades.begin() + i);
    // The current index keeps naming the same stream, or none when it went.
    if (m_current == i)
        m_current = -1;
    else if (m_current > i)
        --m_current;
    return true;
}

int aMusicManager::getCount()
{
    aCriticalSectionHolder lock(this);
    return static_cast<int>(m_streams.size());
}

int aMusicManager::getCurrentIndex()
{
    aCriticalSectionHolder lock(this);
    return m_current;
}

aMusicManager::State aMusicManager::getState(int index)
{
    aCriticalSectionHolder lock(this);
    return valid(index) ? m_states[index] : STOPPED;
}

float aMusicManager::getFadeFactor(int index)
{
    aCriticalSectionHolder lock(this);
    return valid(index) ? m_fades[index] : 0.0f;
}

float aMusicManager::getMusicVolume(int index)
{
    aCriticalSectionHolder lock(this);
    return valid(index) ? m_volumes[index] : 0.0f;
}

aMusic* aMusicManager::getMusic(int index)
{
    aCriticalSectionHolder lock(this);
    return valid(index) ? m_streams[index].get() : nullptr;
}
