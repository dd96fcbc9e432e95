#include "kestrelctl/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using KestrelCtl::CommandLine_t;
using Args = std::vector<std::string>;

TEST(CommandLineTest, ReadsGlobalOptionsThenTheCommandsOwn) {
    CommandLine_t line;
    std::string error;
    ASSERT_TRUE(KestrelCtl::ParseCommandLine(
        {"-d", "/dev/pts/7", "-b", "9600", "watch", "--count", "3", "--timeout", "1.25", "--json"},
        line, error))
        << error;
    EXPECT_EQ(line.m_Command, KestrelCtl::COMMAND_WATCH);
    EXPECT_EQ(line.m_Device, "/dev/pts/7");
    EXPECT_EQ(line.m_Baud, 9600u);
    EXPECT_EQ(line.m_Count, 3u);
    EXPECT_EQ(line.m_TimeoutMs, 1250u);
    EXPECT_TRUE(line.m_Json);

    ASSERT_TRUE(KestrelCtl::ParseCommandLine({"send", "end", "raw:00"}, line, error)) << error;
    EXPECT_EQ(line.m_Command, KestrelCtl::COMMAND_SEND);
    EXPECT_EQ(line.m_Device, "");
    EXPECT_EQ(line.m_Baud, 115200u);
    EXPECT_EQ(line.m_Operations, (Args{"end", "raw:00"}));
}

TEST(CommandLineTest, RefusesIncompleteOrUnknownArguments) {
    const std::vector<std::pair<Args, std::string>> cases = {
        {{}, "no command given (send, watch or list)"},
        {{"-b"}, "-b needs a value"},
        {{"send"}, "send needs at least one operation"},
        {{"watch", "--count", "0"}, "--count needs a positive number, not \"0\""},
        {{"watch", "--timeout", "1.2345"},
         "--timeout needs seconds above 0 (at most three decimals, at most a week), not "
         "\"1.2345\""},
        {{"watch", "--timeout", "0"},
         "--timeout needs seconds above 0 (at most three decimals, at most a week), not \"0\""},
        {{"status"}, "unknown command \"status\" (send, watch or list)"},
    };
    for (const auto& c : cases) {
        CommandLine_t line;
        std::string error;
        EXPECT_FALSE(KestrelCtl::ParseCommandLine(c.first, line, error)) << c.second;
        EXPECT_EQ(error, c.second);
    }
}

}  // namespace
