// Thousands of random command sequences on the in-memory platform. A failure
// prints its seed; RENAMORA_PROPERTY_SEED=<seed> replays just that one.
#include <gtest/gtest.h>

#include "tests/support/property_engine.h"

namespace renamora::testing {
namespace {

TEST(NothingIsLost, RandomCommandSequences) {
  const SeedRange seeds = PropertySeeds(2000, "RENAMORA_PROPERTY_SEQUENCES");
  PropertyOptions options;
  int failures = 0;
  for (std::uint64_t seed = seeds.first; seed < seeds.first + seeds.count; ++seed) {
    options.fileEvents = seed % 3 == 0;
    if (auto failure = RunPropertySequence(seed, options)) {
      ADD_FAILURE() << "seed " << seed << " (replay: RENAMORA_PROPERTY_SEED=" << seed
                    << "): " << *failure;
      if (++failures >= 3) break;
    }
  }
}

}  // namespace
}  // namespace renamora::testing
