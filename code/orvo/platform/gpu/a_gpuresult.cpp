#include "orvo/platform/gpu/a_gpuresult.h"

const char* gpu_errorName(aGpuResult result)
{
    switch (result) {
    case aGpuResult::Ok:
        return "OK";
    case aGpuResult::DeviceLost:
        return "DEVICE_LOST";
    case aGpuResult::DeviceNotReset:
        return "DEVICE_NOT_RESET";
    case aGpuResult::DriverInternalError:
        return "DRIVER_INTERNAL_ERROR";
    case aGpuResult::InvalidCall:
        return "INVALID_CALL";
    case aGpuResult::OutOfMemory:
        return "OUT_OF_MEMORY";
    case aGpuResult::NotAvailable:
        return "NOT_AVAILABLE";
    case aGpuResult::NotFound:
        return "NOT_FOUND";
    case aGpuResult::InvalidData:
        return "INVALID_DATA";
    case aGpuResult::AlreadyLocked:
        return "ALREADY_LOCKED";
    case aGpuResult::NotLocked:
        return "NOT_LOCKED";
    }
    return "UNKNOWN_ERROR";
}
