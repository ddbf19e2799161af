// Random command sequences on real files, with other programs at work:
// files locked, removed and added between the load and a rename. A failure
// prints its seed; RENAMORA_PROPERTY_SEED=<seed> replays just that one.
#include <gtest/gtest.h>

#include "tests/support/property_engine.h"

namespace renamora::testing {
namespace {

TEST(NothingIsLostOnRealFiles, RandomCommandSequences) {
  const SeedRange seeds = PropertySeeds(30, "RENAMORA_WINE_SEQUENCES");
  PropertyOptions options;
  options.fileEvents = true;
  options.maxFiles = 25;
  int failures = 0;
  for (std::uint64_t seed = seeds.first; seed < seeds.first + seeds.count; ++seed) {
    if (auto failure = RunPropertySequence(seed, options)) {
      ADD_FAILURE() << "seed " << seed << " (replay: RENAMORA_PROPERTY_SEED=" << seed
                    << "): " << *failure;
      if (++failures >= 3) break;
    }
  }
}

}  // namespace
}  // namespace renamora::testing
