// The dispatcher fuzz target's checks over its seed corpus, so that every test run exercises
// them (among the seeds, a folder list naming a folder beside the base folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/DispatcherFuzzCase.h"

namespace {

TEST(DispatcherSeeds, NothingOutsideTheBaseFolderChanges) {
    const auto folder =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "fuzz/corpus/fuzz_dispatcher";
    int seeds = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(item.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        SCOPED_TRACE(item.path().string());
        EXPECT_TRUE(dispatchkit::RunDispatcherFuzzCase(
            reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        ++seeds;
    }
    EXPECT_GE(seeds, 6);
}

}  // namespace
