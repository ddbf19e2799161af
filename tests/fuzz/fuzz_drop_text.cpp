// Any files-dropped text, over a small tree: the load must list exactly what
// it can reach and never touch a file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/memory_app.h"

namespace {

renamora::testing::MemoryApp& App() {
  static renamora::testing::MemoryApp* app = [] {
    auto* a = new renamora::testing::MemoryApp;
    a->fs.AddFile("D:\\a\\b.txt", "b");
    a->fs.AddFile("D:\\a\\sub\\c", "c");
    a->fs.AddFile("D:\\a\\\x95\x5C.txt", "gbk");
    a->fs.AddFolder("D:\\a\\hid", 0x12);
    a->fs.AddFile("D:\\a\\hid\\d.txt", "d");
    a->fs.AddFolder("E:\\");
    a->fs.AddFile("E:\\root.txt", "r");
    return a;
  }();
  return *app;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto& app = App();
  const std::string dropped(reinterpret_cast<const char*>(data), size);
  app.DropOnWindow(dropped);
  // Every row splits its path back into the same bytes, and starts untouched.
  const renamora::FileList& rows = app.files();
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    if (rows.CurrentName(r) != rows.OriginalName(r) ||
        rows.StatusOf(r) != renamora::Status::kNone) {
      std::abort();
    }
  }
  if (app.fs.Content("D:\\a\\b.txt") != std::optional<std::string>("b")) std::abort();
  return 0;
}
