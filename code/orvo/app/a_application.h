// The engine's application frame. Exactly one object of a class derived from
// it exists per process (the game's); its constructor makes it reachable
// through aApplication::get(). It owns start-up (single instance, data
// folders, the log with its banner and system report), the error boxes, the
// paused flag, the main loop with its frame pacing, the window procedure and
// the one loading thread. The derived application creates the graph and input
// servers, which register themselves here.
// Threads: everything runs on the main thread, except that the paused flag is
// read by the music thread and the derived application's loading routine runs
// on the loading thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "orvo/app/a_fileserver.h"
#include "orvo/platform/a_fault.h"
#include "orvo/platform/a_system.h"
#include "orvo/platform/a_window.h"
#include "orvo/util/a_timer.h"

class aAnim;
class aEventPump;
class aGraphServer;
class aInputServer;
class aInstanceLock;
struct aSystemFacts;

// A loading routine: runs on the loading thread; a nonzero result means the
// media could not be loaded.
using aLoadingRoutine = uint32_t (*)(void* parameter);

// Error codes of aApplication::showError.
constexpr uint32_t A_ERROR_NO_D3D = 0x8a760001;
constexpr uint32_t A_ERROR_NO_LOG = 0x8a760002;
constexpr uint32_t A_ERROR_NO_DEVICE = 0x8a760003;
constexpr uint32_t A_ERROR_NO_MEDIA = 0x8a76000b;
constexpr uint32_t A_ERROR_FILE_NOT_FOUND = 0x80070002;
constexpr uint32_t A_ERROR_DRIVER_INTERNAL = 0x88760827;
constexpr uint32_t A_ERROR_CRASH_DUMP = 8431;

class aApplication {
public:
    aApplication();
    virtual ~aApplication();
    aApplication(const aApplication&) = delete;
    aApplication& operator=(const aApplication&) = delete;

    // 0: go on; 1: another instance runs (nothing was set up).
    virtual int32_t init(const char* name, void* instance, const char* commandLine, const char* makerFolder);
    virtual int32_t shutdown();
    // The main loop; the exit code of the quit message, or 1 without a graph server.
    virtual int32_t run();
    virtual void setPaused(bool paused);
    virtual int64_t wndProc(aWindowHandle window, uint32_t message, uint64_t wParam, int64_t lParam);
    virtual bool setPriority(uint32_t priorityClass, int32_t threadPriority);
    // Shows the error box of the code and returns when it was closed.
    virtual void showError(uint32_t code);
    virtual void deleteInput();
    // The routine's look-ups list each folder once (aFolderListingScope).
    virtual void startLoadingThread(aLoadingRoutine routine, void* parameter);
    // True when no loading thread remains (polled once per turn); joins an
    // ended thread and, when its routine failed, shows the error and closes.
    virtual bool isLoadingDone();
    virtual bool canToggleFullscreen();
    virtual bool canTakeScreenshot();
    virtual void onDeviceLost();
    virtual void onDeviceRestored();
    virtual bool canQuit();
    // Once per frame unless paused; the result becomes the frame result, negative closes the window.
    virtual int32_t update();
    // Once per frame while the frame result is 0; negative closes the window.
    virtual int32_t render();
    virtual void onDeactivate();
    virtual void onActivate();
    virtual void onDisplayModeChanged();

    // The one application object; null before it is constructed and after it is gone.
    static aApplication* get();
    // The paused flag of the application object, false while none exists; any
    // thread (the music thread asks it).
    static bool isApplicationPaused();

    // The engine's fault filter, installed by init: logs where the dump goes,
    // writes "crash.dmp" into the per-user folder, shows the error box and
    // ends the process. Runs on the faulting thread.
    static int32_t crashHandler(aExceptionPointers* pointers);

    // Writes the system report of this machine to the log.
    void logSystemInfo();
    // The report's lines for the given facts (the lines logSystemInfo writes).
    static void logSystemReport(const aSystemFacts& facts, const std::string& applicationPath);
    // The text of an error box.
    static std::string errorText(uint32_t code, const std::string& userFolder);

    // The desktop work area read by init (the graph server places its window in it).
    static const aWorkArea& workArea();
    static void setWorkArea(const aWorkArea& area);

    // The source of the loop's messages; the real window's events unless set.
    aEventPump& eventPump();
    void setEventPump(std::unique_ptr<aEventPump> pump);

    aWindowHandle getWindow() const { return m_window; }
    void setWindow(aWindowHandle window) { m_window = window; }
    void* getInstance() const { return m_instance; }
    const std::string& getName() const { return m_name; }
    bool isActive() const { return m_active; }
    bool isPaused() const { return m_paused.load(std::memory_order_relaxed); }
    bool isRunning() const { return m_running; }
    // A loading routine is still at work; asks only, unlike isLoadingDone.
    bool isLoadingThreadRunning() const;
    aFileServer& getFileServer() { return m_fileServer; }
    aGraphServer* getGraphServer() const { return m_graphServer; }
    void setGraphServer(aGraphServer* server) { m_graphServer = server; }
    aInputServer* getInputServer() const { return m_inputServer; }
    void setInputServer(aInputServer* server) { m_inputServer = server; }
    aAnim* getCursorAnim() const { return m_cursorAnim; }
    void setCursorAnim(aAnim* anim) { m_cursorAnim = anim; }
    uint32_t getSystemCursor() const { return m_systemCursor; }
    void setSystemCursor(uint32_t cursorId) { m_systemCursor = cursorId; }
    const std::string& getApplicationPath() const { return m_applicationPath; }
    const std::string& getLogName() const { return m_logName; }
    const std::string& getUserDir() const { return m_userDir; }
    const std::string& getSavesDir() const { return m_savesDir; }
    const std::string& getSharedDir() const { return m_sharedDir; }
    const std::string& getScreenshotDir() const { return m_screenshotDir; }

    // Off, frames follow each other at once whatever the display: for runs
    // whose time is not the wall clock's (a fixed frame time) and for
    // benchmarks. On (the default), a frame lasts at least one refresh
    // unless the present itself waits for it.
    void setFramePacing(bool on) { m_framePacing = on; }
    bool framePacing() const { return m_framePacing; }

    // Where the single-instance lock file is made (empty: the per-user default).
    void setLockFolder(const std::string& folder) { m_lockFolder = folder; }

protected:
    // One turn of the loop without messages: pacing, input, update, render.
    void runFrame(int32_t& frameResult);
    // The least time a frame takes (the loop sleeps the rest): 0 when the
    // present waits for the display or nothing should wait.
    float pacedFrameTime() const;
    // The close request: asks canQuit, then posts the quit message.
    void requestClose();
    void openLog();
    // A later start asked for the window: to the front, restored when minimised.
    void serviceRaiseRequest();

    aFileServer m_fileServer; // first constructed, last destroyed
    aWindowHandle m_window = nullptr;
    void* m_instance = nullptr;
    std::unique_ptr<aInstanceLock> m_instanceLock;
    std::string m_name = "Unnamed";
    bool m_active = true;
    std::atomic<bool> m_paused{false};
    bool m_running = false;
    bool m_framePacing = true;
    aTimer m_frameTimer{0};
    aGraphServer* m_graphServer = nullptr;
    aInputServer* m_inputServer = nullptr;
    aAnim* m_cursorAnim = nullptr;
    uint32_t m_systemCursor = A_CURSOR_ARROW;
    std::thread m_loadingThread;
    std::atomic<bool> m_loadingDone{false};
    std::atomic<uint32_t> m_loadingExitCode{0};
    std::string m_applicationPath;
    std::string m_logName = "orvo.log";
    std::string m_userDir;
    std::string m_savesDir;
    std::string m_sharedDir;
    std::string m_screenshotDir;
    std::string m_lockFolder;
    bool m_logOpened = false; // the log is ours to close
    std::unique_ptr<aEventPump> m_eventPump;
};
