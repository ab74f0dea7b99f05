// EntryPointFunc: which commands it serves, what it leaves alone, and the About text.
#include <cstring>

#include "../LoadedPlugin.h"

namespace qxv::host_tests {
namespace {

using hostsim::HostApp;

class EntryDispatch : public testing::TestWithParam<HostApp> {};

TEST_P(EntryDispatch, UnservedCommandsReturnZeroAndTouchNothing) {
    const PF_Cmd kUnserved[] = {2, 3, 5, 6, 7, 8, 9, 10, 12, 13, 16, 17, 24, 100, static_cast<PF_Cmd>(0xFFFFFFFF)};
    auto host = MakeReadyHost(GetParam());
    for (PF_Cmd cmd : kUnserved) {
        SCOPED_TRACE(hostsim::CommandName(cmd));
        std::memset(&host->out_data(), 0xA5, sizeof(PF_OutData));
        PF_OutData before = host->out_data();
        std::size_t calls_before = host->trace().size();

        EXPECT_EQ(host->SendWithParams(cmd, nullptr), PF_Err_NONE);

        EXPECT_EQ(std::memcmp(&before, &host->out_data(), sizeof(PF_OutData)), 0);
        EXPECT_EQ(host->trace().size(), calls_before + 1) << "only the command itself is in the trace";
        EXPECT_TRUE(host->CommandViolations().empty());
    }
}

TEST_P(EntryDispatch, AboutWritesNameVersionAndDescription) {
    auto host = MakeHost(GetParam());
    ASSERT_EQ(host->About(), PF_Err_NONE);

    std::string text(host->out_data().return_msg);
    const std::string kFirstLine = "Vignette v1.3\r";
    ASSERT_EQ(text.compare(0, kFirstLine.size(), kFirstLine), 0) << text;
    std::string description = text.substr(kFirstLine.size());
    EXPECT_EQ(description.rfind("Vignette plugin for After Effects.", 0), 0u) << description;
    EXPECT_EQ(description.find_first_of("\r\n"), std::string::npos) << "the description is one line";
    EXPECT_LT(text.size(), sizeof host->out_data().return_msg);
    EXPECT_EQ(host->out_data().out_flags, 0) << "About is not an error message";
    EXPECT_EQ(host->accounting().ThisCommand({"PF ANSI Suite", 1}).acquired, 1);
    EXPECT_TRUE(host->CommandViolations().empty());
}

TEST_P(EntryDispatch, AboutNeedsNoEarlierCommand) {
    // Commands come in whatever order the host chooses; About may be the very first.
    auto host = MakeHost(GetParam());
    EXPECT_EQ(host->About(), PF_Err_NONE);
    EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(host->About(), PF_Err_NONE);
    EXPECT_EQ(host->params().count(), 13);
}

INSTANTIATE_TEST_SUITE_P(BothHosts, EntryDispatch, kBothHosts, HostLabel);

}  // namespace
}  // namespace qxv::host_tests
