// Random command sequences over a random folder tree, checking after every
// command that no file was lost, duplicated, moved to another depth or
// changed, and that nothing outside the tree was touched. Runs on any Scene:
// in memory natively, on real files under Wine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scene.h"

namespace renamora::testing {

struct PropertyOptions {
  int commands = 14;        // commands per sequence
  int maxFiles = 40;        // files in the generated tree, roughly
  bool fileEvents = false;  // lock, remove and add files between load and rename
};

// Runs the sequence of `seed` in a fresh scene from MakeScene(). Returns
// nothing when every check held, otherwise what failed and the commands
// that led there.
std::optional<std::string> RunPropertySequence(std::uint64_t seed, const PropertyOptions& options);

// The seeds a test runs: RENAMORA_PROPERTY_SEED=S replays that one seed;
// otherwise `count` seeds from a base (RENAMORA_PROPERTY_BASE, default 1).
struct SeedRange {
  std::uint64_t first;
  std::uint64_t count;
};
SeedRange PropertySeeds(std::uint64_t defaultCount, const char* countVariable);

// Runs every seed of the range, with other programs at work in every
// `fileEventsEvery`-th sequence (0: never). Returns the failures, each
// naming its seed and how to replay it; stops after three.
std::vector<std::string> RunPropertySeeds(const SeedRange& seeds, PropertyOptions options,
                                          std::uint64_t fileEventsEvery);

}  // namespace renamora::testing
