// The one way a command renames a listed file.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/list_model.h"

namespace renamora {

// Renames the row's file from `from` to `to` (the row's folder followed by
// the new name). Only when the disk says yes does the row take the new
// name, so that "现文件名" always holds the name the file really has: a
// failed row can be renamed again and is exported under its real name.
inline bool RenameRowFile(FileSystem& fs, FileRow& row, const std::string& from,
                          const std::string& to) {
  if (!fs.RenameFile(from, to)) return false;
  row.currentName.assign(to, row.folder.size(), std::string::npos);
  return true;
}

}  // namespace renamora
