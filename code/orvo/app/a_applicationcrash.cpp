// aApplication: the engine's fault filter.
#include <limits.h>

#include "orvo/app/a_application.h"
#include "orvo/app/a_crash.h"
#include "orvo/platform/a_dumpfile.h"
#include "orvo/util/a_fixedtext.h"
#include "orvo/util/a_log.h"

int32_t aApplication::crashHandler(aExceptionPointers* pointers)
{
    const char* folder = crash_userFolder();
    aFixedText<PATH_MAX + 64> text("\n\nCritical Error. File \"crash.dmp\" has been saved to\n");
    text.append(folder).append("\n");
    a_logTextUrgent(text.c_str());

    aFixedText<PATH_MAX + 16> dump(folder);
    dump.append("crash.dmp");
    dumpfile_write(dump.c_str(), pointers);

    if (aApplication* app = get()) {
        app->deleteInput();
        // The box waits for the user.
        fault_watchdog(0);
        app->showError(A_ERROR_CRASH_DUMP);
    }
    return A_FILTER_EXECUTE_HANDLER;
}
