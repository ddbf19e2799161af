// Thousands of random command sequences on the in-memory platform. A failure
// prints its seed; RENAMORA_PROPERTY_SEED=<seed> replays just that one.
#include <gtest/gtest.h>

#include "tests/support/property_engine.h"

namespace renamora::testing {
namespace {

TEST(NothingIsLost, RandomCommandSequences) {
  const SeedRange seeds = PropertySeeds(2000, "RENAMORA_PROPERTY_SEQUENCES");
  // Every third sequence has other programs at work between load and rename.
  for (const std::string& failure : RunPropertySeeds(seeds, PropertyOptions{}, 3)) {
    ADD_FAILURE() << failure;
  }
}

}  // namespace
}  // namespace renamora::testing
