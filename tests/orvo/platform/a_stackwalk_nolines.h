#pragma once

namespace kbtest {

int withoutLines(int value);

} // namespace kbtest
