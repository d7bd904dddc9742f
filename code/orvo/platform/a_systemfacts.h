// Facts about the machine for the log's system report: the operating system,
// the computer and user names, memory, and the mounted drives. Gathered on
// demand (main thread at start-up); plain values, so tests can make their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct aDriveFact {
    enum class Type { Removable, Fixed, Remote, CdRom, RamDisk, Unknown };

    std::string mountPoint;
    std::string device; // the mounted source ("/dev/sda1"), for look-ups
    Type type = Type::Unknown;
    std::string fileSystem; // fixed drives only
    std::string label;      // fixed drives only, may be empty
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
};

struct aSystemFacts {
    std::string operatingSystem;
    std::string computerName;
    std::string userName;
    uint32_t memoryLoad = 0; // percent of physical memory in use
    uint64_t physicalAvailable = 0;
    uint64_t physicalTotal = 0;
    uint64_t virtualAvailable = 0;
    uint64_t virtualTotal = 0;
    uint64_t pagefileAvailable = 0;
    uint64_t pagefileTotal = 0;
    std::vector<aDriveFact> drives;
};

aSystemFacts systemfacts_gather();

// Parsers used by systemfacts_gather, open to tests with made-up file contents.
// /proc/meminfo values in kB by key ("MemTotal"); 0 when missing.
uint64_t systemfacts_meminfoValue(const std::string& meminfo, const char* key);
// The drives worth reporting from the text of /proc/self/mounts: the root, block
// devices and network file systems, each mount point once. Sizes are not filled.
std::vector<aDriveFact> systemfacts_parseMounts(const std::string& mounts);
