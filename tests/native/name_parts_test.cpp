#include "platform/name_parts.h"

#include <gtest/gtest.h>

namespace renamora {
namespace {

TEST(SplitAtLastDot, SplitsAtTheLastRealDot) {
  struct Case {
    const char* name;
    const char* base;
    const char* extension;
  } cases[] = {{"photo.jpg", "photo", ".jpg"}, {"archive.tar.gz", "archive.tar", ".gz"},
               {".profile", "", ".profile"},   {"notes.", "notes", "."},
               {"README", "", "README"},       {"", "", ""}};
  for (const Case& c : cases) {
    const NameParts parts = SplitAtLastDot(c.name);
    EXPECT_EQ(parts.base, c.base) << c.name;
    EXPECT_EQ(parts.extension, c.extension) << c.name;
  }
  // A lone lead byte swallows the byte after it, so that "." is no dot.
  EXPECT_EQ(SplitAtLastDot(std::string("a.b\x81.")).base, "a");
}

TEST(RemoveEvery, CutsLeftmostNonOverlappingOccurrences) {
  EXPECT_EQ(RemoveEvery("X-X-photo.jpg", "X-"), "photo.jpg");
  EXPECT_EQ(RemoveEvery("a-X-X.txt", "-X"), "a.txt");
  EXPECT_EQ(RemoveEvery("aaa", "aa"), "a");
  EXPECT_EQ(RemoveEvery("photo.jpg", ""), "photo.jpg");
  EXPECT_EQ(RemoveEvery("photo.jpg", "zz"), "photo.jpg");
  EXPECT_EQ(RemoveEvery("X-a.txt", "x-"), "X-a.txt");  // case counts
  // "A" inside a double-byte character (trail byte 41) is not cut.
  EXPECT_EQ(RemoveEvery("\x81"
                        "AA",
                        "A"),
            "\x81"
            "A");
}

}  // namespace
}  // namespace renamora
