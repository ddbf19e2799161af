// What the rename page tests share: a folder of files listed in the File
// list, and short views of the rows and of the disk.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/support/memory_app.h"
#include "tests/support/shown_rows.h"

namespace renamora::testing {

class RenamePage {
 public:
  static constexpr const char kFolder[] = "D:\\p\\";

  // Creates every file in kFolder, holding Bytes(name), and drops them all
  // on the window in this order.
  void Load(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      app.fs.AddFile(kFolder + name, Bytes(name));
      paths.push_back(kFolder + name);
    }
    app.DropOnWindow(MemoryApp::DropText(paths));
  }
  static std::string Bytes(const std::string& name) { return name + " bytes"; }

  std::vector<std::string> Current() {
    std::vector<std::string> names;
    for (const ShownRow& row : ShownRows(app.files())) names.push_back(row.currentName);
    return names;
  }
  std::vector<std::string> Statuses() {
    std::vector<std::string> words;
    for (const ShownRow& row : ShownRows(app.files())) words.push_back(StatusText(row.status));
    return words;
  }
  // Every file on drive D: with its content, so that a test sees at once
  // that nothing moved, vanished or changed.
  using Files = std::map<std::string, std::string>;
  Files Disk() {
    Files files;
    for (const auto& item : app.fs.Walk("D:\\")) {
      if (!item.folder) files[item.path] = item.content;
    }
    return files;
  }
  // Disk() as it should be when the files first made with firstNames[i]
  // are now called names[i], all in kFolder.
  static Files InFolder(const std::vector<std::string>& names,
                        const std::vector<std::string>& firstNames) {
    Files files;
    for (std::size_t i = 0; i < names.size(); ++i) {
      files[kFolder + names[i]] = Bytes(firstNames[i]);
    }
    return files;
  }

  MemoryApp app;
};

}  // namespace renamora::testing
