#include "orvo/platform/gpu/a_gpuglfunctions.h"

#include "orvo/util/a_log.h"

bool aGpuGLFunctions::load(void* (*getProc)(const char*))
{
    bool complete = true;
#define ORVO_GL_LOAD(type, name)                                                                                       \
    name = reinterpret_cast<type>(getProc(#name));                                                                     \
    if (!name) {                                                                                                       \
        a_log("gpu. OpenGL function %s missing", #name);                                                               \
        complete = false;                                                                                              \
    }
    ORVO_GL_FUNCTIONS(ORVO_GL_LOAD)
#undef ORVO_GL_LOAD
    glClipControl = reinterpret_cast<PFNGLCLIPCONTROLPROC>(getProc("glClipControl"));
    return complete;
}
