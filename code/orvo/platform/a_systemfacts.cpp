#include "orvo/platform/a_systemfacts.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string readText(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Mount tables write spaces and a few other characters as "\ooo".
std::string unescapeOctal(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const char a = text[i + 1], b = text[i + 2], c = text[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// udev writes unsafe label characters as "\xHH".
std::string unescapeHex(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
            continue;
        }
        out += text[i];
    }
    return out;
}

bool isRemote(const std::string& fs)
{
    static const char* const kRemote[] = {"nfs", "nfs4", "cifs",      "smb3",           "smbfs", "sshfs", "fuse.sshfs",
                                          "afs", "ceph", "glusterfs", "fuse.glusterfs", "davfs", "9p"};
    for (const char* r : kRemote)
        if (fs == r)
            return true;
    return false;
}

std::string osDescription()
{
    std::string pretty;
    std::istringstream release(readText("/etc/os-release"));
    for (std::string line; std::getline(release, line);) {
        if (line.rfind("PRETTY_NAME=", 0) != 0)
            continue;
        pretty = line.substr(12);
        if (pretty.size() >= 2 && (pretty.front() == '"' || pretty.front() == '\'') && pretty.back() == pretty.front())
            pretty = pretty.substr(1, pretty.size() - 2);
    }
    struct utsname u;
    std::string kernel;
    if (uname(&u) == 0)
        kernel = std::string(u.sysname) + " " + u.release + " " + u.machine;
    if (pretty.empty())
        return kernel;
    return kernel.empty() ? pretty : pretty + ", " + kernel;
}

std::string userName()
{
    std::string buffer(16384, '\0');
    struct passwd pw;
    struct passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    if (const char* user = std::getenv("USER"))
        return user;
    return {};
}

std::string realPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string labelOf(const std::string& device)
{
    const std::string target = realPath(device);
    DIR* dir = opendir("/dev/disk/by-label");
    if (!dir)
        return {};
    std::string label;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        if (realPath(std::string("/dev/disk/by-label/") + e->d_name) == target) {
            label = unescapeHex(e->d_name);
            break;
        }
    }
    closedir(dir);
    return label;
}

bool isRemovable(const std::string& device)
{
    const std::string resolved = realPath(device);
    const std::string name = resolved.substr(resolved.rfind('/') + 1);
    const std::string block = "/sys/class/block/" + name;
    for (const std::string& p : {block + "/removable", realPath(block) + "/../removable"}) {
        const std::string v = readText(p.c_str());
        if (!v.empty())
            return v[0] == '1';
    }
    return false;
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

uint64_t systemfacts_meminfoValue(const std::string& meminfo, const char* key)
{
    std::istringstream in(meminfo);
    const std::string wanted = std::string(key) + ":";
    for (std::string name; in >> name;) {
        unsigned long long value = 0;
        if (name == wanted && (in >> value))
            return value;
        std::string rest;
        std::getline(in, rest);
    }
    return 0;
}

std::vector<aDriveFact> systemfacts_parseMounts(const std::string& mounts)
{
    std::vector<aDriveFact> drives;
    std::istringstream in(mounts);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string source, point, fs;
        if (!(fields >> source >> point >> fs))
            continue;
        source = unescapeOctal(source);
        point = unescapeOctal(point);
        aDriveFact d;
        d.mountPoint = point;
        if (isRemote(fs)) {
            d.type = aDriveFact::Type::Remote;
        } else if (fs == "iso9660" || fs == "udf" || source.rfind("/dev/sr", 0) == 0) {
            d.type = aDriveFact::Type::CdRom;
        } else if (fs == "tmpfs" || fs == "ramfs") {
            if (point != "/")
                continue;
            d.type = aDriveFact::Type::RamDisk;
        } else if (point == "/" || (source.rfind("/dev/", 0) == 0 && fs != "squashfs")) {
            d.type = aDriveFact::Type::Fixed;
            d.fileSystem = fs;
            d.device = source;
        } else {
            continue;
        }
        // A later mount over the same point hides the earlier one.
        for (auto it = drives.begin(); it != drives.end(); ++it) {
            if (it->mountPoint == point) {
                drives.erase(it);
                break;
            }
        }
        drives.push_back(d);
    }
    return drives;
}

aSystemFacts systemfacts_gather()
{
    aSystemFacts f;
    f.operatingSystem = osDescription();
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) == 0)
        f.computerName = host;
    f.userName = userName();

    const std::string meminfo = readText("/proc/meminfo");
    f.physicalTotal = systemfacts_meminfoValue(meminfo, "MemTotal") * 1024;
    f.physicalAvailable = systemfacts_meminfoValue(meminfo, "MemAvailable") * 1024;
    if (f.physicalAvailable == 0)
        f.physicalAvailable = systemfacts_meminfoValue(meminfo, "MemFree") * 1024;
    // The commit limit is what the system can hand out in all, as with a pagefile-backed virtual memory.
    f.virtualTotal = systemfacts_meminfoValue(meminfo, "CommitLimit") * 1024;
    const uint64_t committed = systemfacts_meminfoValue(meminfo, "Committed_AS") * 1024;
    f.virtualAvailable = f.virtualTotal > committed ? f.virtualTotal - committed : 0;
    f.pagefileTotal = systemfacts_meminfoValue(meminfo, "SwapTotal") * 1024;
    f.pagefileAvailable = systemfacts_meminfoValue(meminfo, "SwapFree") * 1024;
    if (f.physicalTotal > 0 && f.physicalAvailable <= f.physicalTotal)
        f.memoryLoad = static_cast<uint32_t>((f.physicalTotal - f.physicalAvailable) * 100 / f.physicalTotal);

    for (aDriveFact& d : systemfacts_parseMounts(readText("/proc/self/mounts"))) {
        // Single files bound into place (container set-ups) are no drives.
        if (!isDirectory(d.mountPoint))
            continue;
        if (d.type == aDriveFact::Type::Fixed) {
            const bool block = d.device.rfind("/dev/", 0) == 0;
            if (block)
                d.label = labelOf(d.device);
            if (block && isRemovable(d.device))
                d.type = aDriveFact::Type::Removable;
            struct statvfs vfs;
            if (statvfs(d.mountPoint.c_str(), &vfs) == 0) {
                d.freeBytes = static_cast<uint64_t>(vfs.f_bfree) * vfs.f_frsize;
                d.totalBytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
            }
        }
        f.drives.push_back(d);
    }
    return f;
}
