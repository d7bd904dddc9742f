// The game's music: streams registered under a name within a list, one of
// which is the current music. Music starts at once or fades in, stops at once
// or fades out, and changes piece with overlapping fades. A thread of the
// manager's own advances the fades every 20 ms unless the application is
// paused. Every operation that touches the streams holds the manager's lock
// (re-entrant), as does each step of the thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "orvo/app/a_basemanager.h"
#include "orvo/sound/a_music.h"
#include "orvo/util/a_criticalsection.h"

class aMusicManager : public aBaseManager, public aCriticalSection {
public:
    enum State : int32_t { STOPPED = 0, FADING_OUT = 1, PLAYING = 4, FADING_IN = 5 };

    // Answers whether the application is paused; read by the music thread.
    // The application's own flag unless a test sets another.
    using PausedQuery = bool (*)();

    // Without `runThread` nothing advances the fades but update (tests).
    explicit aMusicManager(bool runThread = true);
    ~aMusicManager() override;

    // The name addMusic gives the stream of `path`: the path cut before its
    // last ".", then the part after the last "/" or "\".
    static std::string streamName(const std::string& path);

    // Opens the file as a stream named after the file (no folder, no extension).
    [[nodiscard]] bool addMusic(const std::string& path, const std::string& listName = "");
    bool play(const std::string& name, const std::string& listName = "", bool fadeIn = false);
    bool stop(bool fadeOut);
    void switchTo(const std::string& name, float volume, bool fadeOut, bool fadeIn, const std::string& listName = "");
    void setVolume(float volume);
    bool setMusicVolume(const std::string& name, float volume, const std::string& listName = "");
    // The current music's name and list name; two empty strings when none.
    std::string getCurrentName(std::string& listName);
    void setFolder(const std::string& folder) { m_folder = folder; }
    const std::string& getFolder() const { return m_folder; }
    // Index of the first stream with that list name and name, or -1.
    int findMusic(const std::string& name, const std::string& listName);
    // Moves the fades on by `dt` seconds.
    void update(float dt);
    // One step of the music thread: 0.02 s of fading unless the application is paused.
    void tick();

    // Resource-list items: the line is a file name read from `folder`.
    void loadItem(const std::string& folder, const std::string& line, const std::string& listName) override;
    std::string getItemFile(const std::string& line) override;
    // The line names the stream with or without its folder and extension.
    bool unloadItem(const std::string& line, const std::string& listName) override;
    // Queues under the manager's lock.
    void AddFileToTask(const std::string& folder, const std::string& line, const std::string& listName) override;

    // Null: nothing pauses the fades.
    void setPausedQuery(PausedQuery query) { m_paused = query; }

    // What the streams are doing, for the loading screen's and the tests' eyes.
    int getCount();
    int getCurrentIndex();
    State getState(int index);
    float getFadeFactor(int index);
    float getMusicVolume(int index);
    aMusic* getMusic(int index);

private:
    static void threadProc(aMusicManager* manager);
    void applyVolume(int index, float volume);
    bool valid(int index) const { return index >= 0 && index < static_cast<int>(m_streams.size()); }

    std::vector<std::unique_ptr<aMusic>> m_streams;
    std::vector<std::string> m_names;
    std::vector<std::string> m_listNames;
    std::vector<State> m_states;
    std::vector<float> m_volumes;
    std::vector<float> m_fades;
    int16_t m_current = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<PausedQuery> m_paused;
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::string m_folder;
};
