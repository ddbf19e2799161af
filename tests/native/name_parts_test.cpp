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

}  // namespace
}  // namespace renamora
