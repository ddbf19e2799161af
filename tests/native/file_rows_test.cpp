#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/list_models.h"
#include "tests/support/shown_rows.h"

namespace renamora::testing {
namespace {

TEST(FileRows, ANameOfItsOwnTakesItsRoomAgainAndEachFolderIsKeptOnce) {
  FileList list = MakeFileList();
  list.Add("D:\\a\\", "x.txt");
  list.Add("D:\\b\\", "y.txt");
  list.Add("D:\\a\\", "z.txt");
  std::size_t text = list.Rows().TextBytes();
  EXPECT_EQ(text, 2 * 5 + 3 * 5u);
  struct Step {
    const char* name;
    std::size_t grown;  // the bytes the text grows by
  };
  const Step steps[] = {
      {"longer-name.txt", 15},       // more than its name: at the end
      {"s", 0},                      // in its room
      {"longer-name.tx2", 0},        // its room again
      {"x.txt", 0},                  // back to "原名", whose bytes it shares
      {"longer-name.tx3", 0},        // the room is still the row's
      {"longest-name-yet.txt", 20},  // at the end
  };
  for (const Step& step : steps) {
    list.SetCurrentName(0, step.name);
    text += step.grown;
    EXPECT_EQ(list.Rows().TextBytes(), text) << step.name;
    EXPECT_EQ(ShownRows(list), (std::vector<ShownRow>{{"D:\\a\\", "x.txt", step.name},
                                                      {"D:\\b\\", "y.txt", "y.txt"},
                                                      {"D:\\a\\", "z.txt", "z.txt"}}));
  }
  // A name read from the rows themselves.
  list.SetCurrentName(2, list.CurrentName(0));
  EXPECT_EQ(list.CurrentName(2), "longest-name-yet.txt");

  list.DeleteAllRows();
  list.Add("D:\\b\\", "q");
  list.Add("D:\\a\\", "r");
  EXPECT_EQ(ShownRows(list), (std::vector<ShownRow>{{"D:\\b\\", "q", "q"}, {"D:\\a\\", "r", "r"}}));
  EXPECT_EQ(list.Rows().TextBytes(), 2 * 5 + 2u);
}

}  // namespace
}  // namespace renamora::testing
