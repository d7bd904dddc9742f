// The crash dump: what a debugger needs to look at a fault after the process
// has gone, in a format of our own. All numbers little-endian.
//
//   header  "ORVODUMP" (8 bytes), u32 version (1), u32 process id,
//           u64 time written (seconds since 1970, UTC)
//   then sections, each a 4-byte tag, u32 0, u64 size of the body, the body:
//   "EXCP"  u32 code, u32 flags, u64 faulting instruction, u32 parameter
//           count, u32 0, u64 parameters[2], i32 signal, i32 signal code
//   "CTXT"  u32 thread id, u32 register count, u64 ip, u64 sp, u64 fp,
//           u64 registers[count] in the machine's own order (x86-64: the
//           general registers of the signal context, r8 first)
//   "STAK"  u64 frame count, u64 addresses[count], the faulting one first
//   "MODS"  u64 module count, then per module: u64 load bias, u64 first
//           mapped address, u64 end of mapping, u32 name length, u32 0, the
//           name (a path, no terminator) padded with zeros to 8 bytes
//   "MEMS"  u64 start address, then the faulting thread's stack from there
//           (128 bytes below its pointer, at most 64 KiB; shorter where the
//           memory ends)
//   "END "  empty: the dump is complete
//
// Readers skip sections they do not know. Written by the crash filters on the
// faulting thread; uses no heap and survives unreadable memory.
#pragma once

#include "orvo/platform/a_fault.h"

constexpr uint32_t A_DUMP_VERSION = 1;
constexpr uint64_t A_DUMP_STACK_BYTES = 64 * 1024;

// Creates the dump anew; true when all of it was written.
bool dumpfile_write(const char* path, const aExceptionPointers* pointers);
