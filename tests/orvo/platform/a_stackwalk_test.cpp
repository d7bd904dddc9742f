#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "orvo/platform/a_stackwalk.h"
#include "orvo/platform/a_stackwalk_nolines.h"

namespace {

__attribute__((noinline, noipa)) void plainFunction()
{
    asm volatile("");
}

// Marks the frame below it for the walk: the test asks for the caller of this symbol.
extern "C" __attribute__((noinline, noipa)) uint64_t kbtest_walkMarker()
{
    static const char* const names[] = {"kbtest_walkMarker"};
    const uint64_t caller = stackwalk_callerOf(names, 1);
    asm volatile(""); // no tail call: this frame must stay on the stack
    return caller;
}

__attribute__((noinline, noipa)) uint64_t callsTheMarker()
{
    const uint64_t caller = kbtest_walkMarker();
    asm volatile("");
    return caller;
}

template <typename F> uint64_t addressOf(F* function)
{
    return reinterpret_cast<uint64_t>(function);
}

} // namespace

TEST(StackWalk, LocatesFunctionFileLineAndModuleFindsTheCallerOfAMarkedFrameAndCapturesFromAnyStart)
{
    ASSERT_TRUE(stackwalk_init());
    EXPECT_EQ(kbtest::withoutLines(1), 2);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const struct {
        uint64_t address;
        const char* function; // demangled, without parameters
        const char* file;     // "" without line information, else the end of the path
        std::string module;
    } cases[] = {
        {addressOf(&plainFunction), "plainFunction", "a_stackwalk_test.cpp", self},
        {addressOf(&kbtest::withoutLines), "kbtest::withoutLines", "", self},
        // Outside any module everything stays empty.
        {0, "", "", ""},
        {UINT64_MAX - 7, "", "", ""},
    };
    for (const auto& c : cases) {
        aCodeLocation where;
        stackwalk_locate(c.address, where);
        const std::string file = where.file;
        EXPECT_TRUE(where.function == std::string(c.function) && where.module == c.module) << where.function;
        EXPECT_TRUE(*c.file ? file.ends_with(c.file) && where.line > 0 : file.empty() && where.line == -1)
            << c.function << " " << file << " line " << where.line;
    }

    // The caller of a marked frame.
    aCodeLocation where;
    stackwalk_locate(callsTheMarker(), where);
    EXPECT_STREQ(where.function, "callsTheMarker");
    // No known thrower on the stack gives no caller.
    static const char* const unknown[] = {"no_such_symbol_anywhere"};
    EXPECT_EQ(stackwalk_callerOf(unknown, 1) + stackwalk_callerOf(nullptr, 0), 0u);

    // A start that is not on the stack is the whole walk.
    uint64_t frames[8] = {};
    EXPECT_TRUE(stackwalk_capture(addressOf(&plainFunction), frames, 8) == 1 && frames[0] == addressOf(&plainFunction));
    EXPECT_EQ(stackwalk_capture(0, frames, 8) + stackwalk_capture(1234, frames, 0), 0u);
}

TEST(StackWalk, PlainNamesLoseParametersQualifiersAndClones)
{
    const std::pair<const char*, const char*> names[] = {
        {"ns::K::run(int) const", "ns::K::run"},
        {"X::operator()(int) &&", "X::operator()"},
        {"T::Body()::{lambda()#1}::operator()() const", "T::Body()::{lambda()#1}::operator()"},
        {"g(int) [clone .cold] [clone .isra.0]", "g"},
        {"h[abi:cxx11](std::string)", "h[abi:cxx11]"},
        {"(unbalanced", "(unbalanced"}};
    for (const auto& [full, expected] : names) {
        char buffer[256];
        std::strncpy(buffer, full, sizeof buffer - 1);
        buffer[sizeof buffer - 1] = '\0';
        stackwalk_plainName(buffer);
        EXPECT_STREQ(buffer, expected) << full;
    }
}
