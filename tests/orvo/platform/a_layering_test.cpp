// The platform layer stands alone: it may use the utilities below it, never
// the application, graphics or sound layers that are built on it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

TEST(PlatformLayer, IncludesNoHeaderOfTheLayersAboveIt)
{
    const std::filesystem::path root = std::filesystem::path(KB_TEST_DATA_DIR) / "../../code/orvo/platform";
    ASSERT_TRUE(std::filesystem::is_directory(root)) << root;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            if (line.rfind("#include", 0) != 0)
                continue;
            for (const char* above : {"\"orvo/app/", "\"orvo/gfx/", "\"orvo/sound/", "\"gui/", "\"game/"})
                EXPECT_EQ(line.find(above), std::string::npos) << entry.path().string() << ":" << n << " " << line;
        }
    }
    EXPECT_GT(files, 20);
}
