#include "orvo/platform/a_dumpfile.h"

#include <link.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "orvo/platform/a_rawfile.h"
#include "orvo/platform/a_stackwalk.h"

namespace {

constexpr size_t kMaxFrames = 256;
constexpr uint64_t kRedZone = 128;

// Starts a section whose size is patched by endSection.
uint64_t beginSection(aRawFile& file, const char* tag)
{
    file.bytes(tag, 4).u32(0);
    const uint64_t sizeAt = file.offset();
    file.u64(0);
    return sizeAt;
}

void endSection(aRawFile& file, uint64_t sizeAt)
{
    file.patchU64(sizeAt, file.offset() - sizeAt - 8);
}

struct Modules {
    aRawFile* file = nullptr;
    uint64_t count = 0;
    char executable[256] = "";
};

int onModule(dl_phdr_info* info, size_t /*size*/, void* data)
{
    Modules& m = *static_cast<Modules*>(data);
    uint64_t low = UINT64_MAX;
    uint64_t high = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& p = info->dlpi_phdr[i];
        if (p.p_type != PT_LOAD)
            continue;
        low = std::min<uint64_t>(low, info->dlpi_addr + p.p_vaddr);
        high = std::max<uint64_t>(high, info->dlpi_addr + p.p_vaddr + p.p_memsz);
    }
    if (high == 0)
        return 0;
    // The loader lists the executable first, without a name.
    const char* name = info->dlpi_name && *info->dlpi_name ? info->dlpi_name : (m.count == 0 ? m.executable : "");
    const uint32_t length = static_cast<uint32_t>(strnlen(name, 4096));
    m.file->u64(info->dlpi_addr).u64(low).u64(high).u32(length).u32(0).bytes(name, length);
    static const char kZeros[8] = {};
    m.file->bytes(kZeros, (8 - length % 8) % 8);
    ++m.count;
    return 0;
}

} // namespace

bool dumpfile_write(const char* path, const aExceptionPointers* pointers)
{
    aRawFile file;
    if (!file.create(path))
        return false;
    const aExceptionRecord record = pointers && pointers->record ? *pointers->record : aExceptionRecord{};
    const aFaultContext context = pointers && pointers->context ? *pointers->context : aFaultContext{};

    file.bytes("ORVODUMP", 8).u32(A_DUMP_VERSION).u32(static_cast<uint32_t>(getpid()));
    file.u64(static_cast<uint64_t>(time(nullptr)));

    uint64_t at = beginSection(file, "EXCP");
    file.u32(record.code).u32(record.flags).u64(record.address).u32(record.parameterCount).u32(0);
    file.u64(record.parameters[0]).u64(record.parameters[1]);
    file.u32(static_cast<uint32_t>(record.signal)).u32(static_cast<uint32_t>(record.signalCode));
    endSection(file, at);

    at = beginSection(file, "CTXT");
    const uint32_t registers = std::min(context.registerCount, A_FAULT_MAX_REGISTERS);
    file.u32(context.threadId).u32(registers).u64(context.ip).u64(context.sp).u64(context.fp);
    file.bytes(context.registers, registers * sizeof(uint64_t));
    endSection(file, at);

    uint64_t frames[kMaxFrames];
    const size_t frameCount = context.ip ? stackwalk_capture(context.ip, frames, kMaxFrames) : 0;
    at = beginSection(file, "STAK");
    file.u64(frameCount).bytes(frames, frameCount * sizeof(uint64_t));
    endSection(file, at);

    Modules modules;
    modules.file = &file;
    const ssize_t n = readlink("/proc/self/exe", modules.executable, sizeof modules.executable - 1);
    modules.executable[n > 0 ? n : 0] = '\0';
    at = beginSection(file, "MODS");
    const uint64_t countAt = file.offset();
    file.u64(0);
    dl_iterate_phdr(onModule, &modules);
    file.patchU64(countAt, modules.count);
    endSection(file, at);

    at = beginSection(file, "MEMS");
    const uint64_t start = context.sp > kRedZone ? (context.sp - kRedZone) & ~uint64_t(15) : 0;
    file.u64(start);
    if (start)
        file.memory(start, A_DUMP_STACK_BYTES);
    endSection(file, at);

    beginSection(file, "END ");
    return file.close();
}
