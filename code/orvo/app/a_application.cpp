#include "orvo/app/a_application.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

#include "orvo/app/a_crash.h"
#include "orvo/app/a_inputserver.h"
#include "orvo/gfx/a_graphserver.h"
#include "orvo/platform/a_eventpump.h"
#include "orvo/platform/a_instancelock.h"
#include "orvo/platform/a_messagebox.h"
#include "orvo/platform/a_systemfacts.h"
#include "orvo/platform/audio/a_audio.h"
#include "orvo/sound/a_soundlibrary.h"
#include "orvo/util/a_log.h"

namespace {

constexpr const char* kDashes = "-----------------------------------------------------------------";
constexpr const char* kEngineVersion = "v1.7";
// A log longer than this is started afresh at the next start.
constexpr long kLogLimit = 50000;

aApplication* g_application = nullptr;
std::atomic<bool> g_applicationPaused{false};
aWorkArea g_workArea;

int kilobytes(uint64_t bytes)
{
    return static_cast<int>(std::min<uint64_t>(bytes / 1024, INT_MAX));
}

unsigned megabytes(uint64_t bytes)
{
    return static_cast<unsigned>(std::min<uint64_t>(bytes / 1048576, UINT_MAX));
}

std::string driveText(const aDriveFact& d)
{
    switch (d.type) {
    case aDriveFact::Type::Removable:
        return "removable";
    case aDriveFact::Type::Fixed: {
        char sizes[64];
        std::snprintf(sizes, sizeof sizes, ", %u of %u MB free", megabytes(d.freeBytes), megabytes(d.totalBytes));
        return "fixed <" + d.fileSystem + ">, " + d.label + sizes;
    }
    case aDriveFact::Type::Remote:
        return "remote";
    case aDriveFact::Type::CdRom:
        return "cdrom";
    case aDriveFact::Type::RamDisk:
        return "ramdisk";
    default:
        return "unknown";
    }
}

} // namespace

aApplication::aApplication() : m_applicationPath(aFileServer::getModulePath())
{
    g_application = this;
}

aApplication::~aApplication()
{
    // A routine still loading must not outlive the object it works for.
    if (m_loadingThread.joinable())
        m_loadingThread.join();
    if (g_application == this) {
        g_application = nullptr;
        g_applicationPaused = false;
    }
}

aApplication* aApplication::get()
{
    return g_application;
}

bool aApplication::isApplicationPaused()
{
    return g_applicationPaused.load();
}

int32_t aApplication::init(const char* name, void* instance, const char* /*commandLine*/, const char* makerFolder)
{
    m_name = name ? name : "";
    m_instance = instance;

    m_instanceLock = std::make_unique<aInstanceLock>();
    switch (m_instanceLock->acquire(m_name, m_lockFolder)) {
    case aInstanceLock::Result::HeldElsewhere:
        // The first instance keeps its window and brings it to the front;
        // nothing else is set up here.
        (void)m_instanceLock->requestRaise();
        return 1;
    case aInstanceLock::Result::Unavailable:
        // Without a place for the lock the game still starts, unguarded.
        break;
    case aInstanceLock::Result::Acquired:
        break;
    }
    fault_setFilter(&aApplication::crashHandler);
    m_fileServer.setApplicationName(m_name);

    std::string subPath;
    if (makerFolder && *makerFolder)
        subPath = std::string(makerFolder) + "/";
    subPath += m_name + "/";
    m_userDir = "userappdata:" + subPath;
    m_sharedDir = "allappdata:" + subPath;
    m_savesDir = "userprof:Saved Games/" + subPath;
    m_screenshotDir = m_userDir + "ScreenShots/";
    // The crash filters find the folder without the file server.
    crash_prepare(m_name, m_fileServer.manglePath(m_userDir));
    for (const std::string* dir : {&m_userDir, &m_sharedDir, &m_savesDir})
        if (!m_fileServer.exists(*dir, false))
            m_fileServer.makeDir(*dir);

    openLog();

    if (!system_desktopWorkArea(g_workArea))
        a_log("aApplication. Desktop work area unknown");
    return 0;
}

void aApplication::openLog()
{
    const std::string path = m_fileServer.manglePath(m_userDir + m_logName);
    FILE* file = std::fopen(path.c_str(), "a+");
    if (file) {
        std::fseek(file, 0, SEEK_END);
        if (std::ftell(file) > kLogLimit) {
            std::fclose(file);
            file = std::fopen(path.c_str(), "w+");
        }
    }
    if (file) {
        std::fputs("\n\n\n\n\n", file);
        std::fclose(file);
    }
    if (!file || !a_logOpen(path.c_str(), false)) {
        showError(A_ERROR_NO_LOG);
        return;
    }
    m_logOpened = true;

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    m_frameTimer.reset();
    a_log("orvo Engine %s started", kEngineVersion);
    a_logText(kDashes);
    a_log("Application: %s", m_name.c_str());
    a_log("Launched on: %.2u.%.2u.%.4u, %.2u:%.2u:%.2u", unsigned(local.tm_mday), unsigned(local.tm_mon + 1),
          unsigned(local.tm_year + 1900), unsigned(local.tm_hour), unsigned(local.tm_min), unsigned(local.tm_sec));
    a_logText("");
    logSystemInfo();
}

void aApplication::logSystemInfo()
{
    logSystemReport(systemfacts_gather(), m_applicationPath);
}

void aApplication::logSystemReport(const aSystemFacts& f, const std::string& applicationPath)
{
    a_logText("----------------- System configuration --------------------------");
    a_log("    Operating System: %s", f.operatingSystem.c_str());
    a_log("       Computer Name: %s", f.computerName.c_str());
    a_log("           User Name: %s", f.userName.c_str());
    a_logText("");
    a_log("         Memory Load: %d%%", static_cast<int>(f.memoryLoad));
    a_log("Free Physical Memory: %d of %d KB", kilobytes(f.physicalAvailable), kilobytes(f.physicalTotal));
    a_log(" Free Virtual Memory: %d of %d KB", kilobytes(f.virtualAvailable), kilobytes(f.virtualTotal));
    a_log("       Pagefile Used: %d of %d KB", kilobytes(f.pagefileAvailable), kilobytes(f.pagefileTotal));
    a_logText("");
    a_log("    Application Path: %s", applicationPath.c_str());
    for (const aDriveFact& d : f.drives)
        a_log("             Drive %s: %s", d.mountPoint.c_str(), driveText(d).c_str());
    a_logText(kDashes);
}

int32_t aApplication::shutdown()
{
    if (m_loadingThread.joinable())
        m_loadingThread.join();
    if (m_window) {
        window_destroy(m_window);
        m_window = nullptr;
    }
    // Only the instance that opened the log writes its end and closes it.
    if (m_logOpened) {
        a_logText(kDashes);
        a_logText("orvo Engine stopped");
        a_logText("");
        a_logClose();
        m_logOpened = false;
    }
    if (m_instanceLock)
        m_instanceLock->release();
    return 0;
}

void aApplication::setPaused(bool paused)
{
    m_paused.store(paused, std::memory_order_relaxed);
    if (g_application == this)
        g_applicationPaused = paused;
    // Every channel of the sound library follows, while the library runs.
    if (sound_libraryLiveObjects() >= 1)
        audio_setPaused(AUDIO_ALL_CHANNELS, paused);
}

void aApplication::serviceRaiseRequest()
{
    if (!m_instanceLock || !m_instanceLock->takeRaiseRequest())
        return;
    if (window_isMinimized(m_window))
        window_restore(m_window);
    window_raise(m_window);
}

const aWorkArea& aApplication::workArea()
{
    return g_workArea;
}

void aApplication::setWorkArea(const aWorkArea& area)
{
    g_workArea = area;
}

bool aApplication::setPriority(uint32_t priorityClass, int32_t threadPriority)
{
    if (!system_setPriorityClass(priorityClass)) {
        a_logText("error in SetClassPriority()");
        return false;
    }
    if (!system_setThreadPriority(threadPriority)) {
        a_logText("error in SetThreadPriority()");
        return false;
    }
    return true;
}

std::string aApplication::errorText(uint32_t code, const std::string& userFolder)
{
    switch (code) {
    case A_ERROR_NO_D3D:
    case A_ERROR_NO_DEVICE:
        return "Could not initialize Direct3D.\nTo solve this problem you may want to check that the\nlatest version "
               "of DirectX and latest version of drivers\nfor your video card are correctly installed.";
    case A_ERROR_NO_LOG:
        return "Game error. Please reinstall.";
    case A_ERROR_NO_MEDIA:
    case A_ERROR_FILE_NOT_FOUND:
        return "Could not load required media.";
    case A_ERROR_DRIVER_INTERNAL:
        return "A serious problem occurred with the display driver.\nPlease install latest drivers.";
    case A_ERROR_CRASH_DUMP:
        return "Critical error. File \"crash.dmp\" has been saved to \n\"" + userFolder + "\"\n";
    default:
        return "Unknown error. Please reinstall or contact user support.";
    }
}

void aApplication::showError(uint32_t code)
{
    const std::string text = errorText(code, m_fileServer.manglePath(m_userDir));
    const bool fullscreen = m_graphServer && m_graphServer->isFullscreen();
    if (fullscreen)
        window_minimize(m_window);
    messagebox_show(m_window, "Error!", text.c_str(), A_MB_ICONERROR | A_MB_SYSTEMMODAL);
    if (fullscreen)
        window_restore(m_window);
}

void aApplication::deleteInput()
{
    if (m_inputServer) {
        delete m_inputServer;
        m_inputServer = nullptr;
    }
}

aEventPump& aApplication::eventPump()
{
    if (!m_eventPump)
        m_eventPump = std::make_unique<aSdlEventPump>();
    return *m_eventPump;
}

void aApplication::setEventPump(std::unique_ptr<aEventPump> pump)
{
    m_eventPump = std::move(pump);
}

bool aApplication::canToggleFullscreen()
{
    return true;
}
bool aApplication::canTakeScreenshot()
{
    return true;
}
void aApplication::onDeviceLost()
{
}
void aApplication::onDeviceRestored()
{
}
bool aApplication::canQuit()
{
    return true;
}
int32_t aApplication::update()
{
    return 0;
}
int32_t aApplication::render()
{
    return 0;
}
void aApplication::onDeactivate()
{
    setPaused(true);
}
void aApplication::onActivate()
{
    setPaused(false);
}
void aApplication::onDisplayModeChanged()
{
}
