// Every input in the fuzz corpus, the seeds and each crash once found, replayed through its
// target under the sanitizers: a fault that comes back aborts this test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FuzzTargets.h"

namespace prowl::fuzz {
namespace {

TEST(FuzzCorpus, EveryInputPassesItsTarget) {
    const struct {
        const char* name;
        void (*body)(std::string_view);
    } targets[] = {{"ProjectFileFuzz", ProjectFileFuzz},
                   {"ProjectTreeFuzz", ProjectTreeFuzz},
                   {"PeReaderFuzz", PeReaderFuzz}};
    for (const auto& target : targets) {
        int inputs = 0;
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(PROWL_FUZZ_CORPUS) / target.name)) {
            SCOPED_TRACE(entry.path().string());
            std::ostringstream bytes;
            bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            target.body(bytes.str());
            ++inputs;
        }
        EXPECT_GT(inputs, 0) << target.name;
    }
}

}  // namespace
}  // namespace prowl::fuzz
