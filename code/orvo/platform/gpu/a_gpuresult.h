// Results of device calls and their names for log lines ("Clear failed (%s)").
// Every device, texture, buffer, sprite and font call answers one of these.
#pragma once

#include <cstdint>

enum class aGpuResult : int32_t {
    Ok = 0,
    DeviceLost,          // frames cannot be drawn; test again later
    DeviceNotReset,      // the device can be reset now
    DriverInternalError, // the device is unusable
    InvalidCall,         // bad arguments, or a call in the wrong state or thread
    OutOfMemory,
    NotAvailable, // the backend cannot do it (no display, no gamma control)
    NotFound,
    InvalidData, // undecodable image data
    AlreadyLocked,
    NotLocked,
};

inline bool gpu_succeeded(aGpuResult result)
{
    return result == aGpuResult::Ok;
}
inline bool gpu_failed(aGpuResult result)
{
    return result != aGpuResult::Ok;
}

// Stable upper-case names ("DEVICE_LOST"); "UNKNOWN_ERROR" for values out of range.
const char* gpu_errorName(aGpuResult result);
