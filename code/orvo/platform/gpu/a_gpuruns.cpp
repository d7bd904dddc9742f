#include "orvo/platform/gpu/a_gpuruns.h"

#include <algorithm>
#include <cstdint>

namespace {

// A token word: the high bit marks a run (one value word follows), else
// that many literal words follow. The low bits count the words.
constexpr uint32_t kRun = 0x80000000u;
constexpr size_t kMaxCount = 0x7FFFFFFFu;
// Shorter repeats stay literal: a run token costs two words.
constexpr size_t kMinRun = 3;

} // namespace

void gpu_packRuns(const uint32_t* words, size_t count, std::vector<uint32_t>& out)
{
    out.clear();
    size_t i = 0, literalStart = 0;
    const auto flushLiterals = [&](size_t end) {
        while (literalStart < end) {
            const size_t n = std::min(end - literalStart, kMaxCount);
            out.push_back(static_cast<uint32_t>(n));
            out.insert(out.end(), words + literalStart, words + literalStart + n);
            literalStart += n;
        }
    };
    while (i < count) {
        size_t run = 1;
        while (i + run < count && words[i + run] == words[i] && run < kMaxCount)
            ++run;
        if (run >= kMinRun) {
            flushLiterals(i);
            out.push_back(kRun | static_cast<uint32_t>(run));
            out.push_back(words[i]);
            i += run;
            literalStart = i;
        } else {
            i += run;
        }
    }
    flushLiterals(count);
    out.shrink_to_fit();
}

bool gpu_unpackRuns(const std::vector<uint32_t>& packed, uint32_t* out, size_t count)
{
    size_t at = 0, done = 0;
    while (at < packed.size()) {
        const uint32_t token = packed[at++];
        const size_t n = token & ~kRun;
        if (n > count - done)
            return false;
        if (token & kRun) {
            if (at >= packed.size())
                return false;
            std::fill_n(out + done, n, packed[at++]);
        } else {
            if (n > packed.size() - at)
                return false;
            std::copy_n(packed.data() + at, n, out + done);
            at += n;
        }
        done += n;
    }
    return done == count;
}

size_t gpu_runsLength(const std::vector<uint32_t>& packed)
{
    size_t at = 0, length = 0;
    while (at < packed.size()) {
        const uint32_t token = packed[at++];
        const size_t n = token & ~kRun;
        const size_t words = token & kRun ? 1 : n;
        if (words > packed.size() - at)
            return SIZE_MAX;
        at += words;
        length += n;
    }
    return length;
}
