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
  options.maxFiles = 25;
  for (const std::string& failure : RunPropertySeeds(seeds, options, 1)) ADD_FAILURE() << failure;
}

}  // namespace
}  // namespace renamora::testing
