#include <gtest/gtest.h>

#include "orvo/util/a_singleton.h"
#include "support/log_capture.h"

namespace GUI {
class Server : public aSingleton<Server> {};
} // namespace GUI

TEST(Singleton, RegistersClearsAndAnOlderInstanceLeavesTheNewerOne)
{
    kbtest::LogCapture log;
    {
        GUI::Server server;
        EXPECT_EQ(GUI::Server::getSingleton(), &server);
    }
    EXPECT_EQ(GUI::Server::getSingleton(), nullptr);
    const auto lines = log.messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("aSingleton<class GUI::Server>::getSingleton: ms_Singleton (util/a_singleton.h, line ", 0),
              0u);

    auto* first = new GUI::Server;
    GUI::Server second;
    delete first;
    EXPECT_EQ(GUI::Server::getSingleton(), &second);
}
