// The one way a command renames a listed file.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/list_model.h"
#include "platform/name_parts.h"
#include "platform/progress.h"

namespace renamora {

// Renames the row's file from `from` to `to` (the row's folder followed by
// the new name). Only when the disk says yes does the row take the new
// name, and then as Windows stores it, without the dots and blanks at its
// end: "现文件名" always holds the name the file really has, so that a
// failed row can be renamed again and is exported under its real name.
// The room for the new name is made first, so that once the file has its
// new name nothing can fail before the row says so.
inline bool RenameRowFile(FileSystem& fs, FileRow& row, const std::string& from,
                          const std::string& to) {
  const std::string_view name =
      WithoutTrailingDotsAndBlanks(std::string_view(to).substr(row.folder.size()));
  row.currentName.reserve(name.size());
  if (!fs.RenameFile(from, to)) return false;
  row.currentName.assign(name.data(), name.size());
  return true;
}

// The way back of both rename pages: every listed file is renamed to
// "原名", or, where the row shows one name in both columns and no command
// has touched it since it was listed (a file listed after it was renamed),
// to what `takeOff(row, to)` appends to the target (the row's folder); a
// row for which it returns false stays as it is, and the rows after it are
// still restored. A touched row with one name in both columns is back
// already or was never renamed: it is left alone, status and all. Each row
// renamed shows "完成", each that fails "失败". After every row `progress`
// is told, and a stop ends the run there.
struct RestoreCount {
  std::size_t back = 0;     // renamed now, or left alone showing "完成"
  std::size_t reached = 0;  // every row, unless the user stopped the run
};
template <typename TakeOff>
RestoreCount RestoreRows(FileSystem& fs, FileList& rows, Progress& progress, TakeOff&& takeOff) {
  RestoreCount count;
  const std::size_t total = rows.RowCount();
  std::string from;
  std::string to;
  while (count.reached < total) {
    FileRow& row = rows[count.reached++];
    to.assign(row.folder);
    bool known = true;
    if (row.originalName != row.currentName) {
      to.append(row.originalName);
    } else if (row.status == Status::kNone) {
      known = takeOff(static_cast<const FileRow&>(row), to);
    } else {
      known = false;
      if (row.status == Status::kDone) ++count.back;
    }
    if (known) {
      from.assign(row.folder).append(row.currentName);
      if (RenameRowFile(fs, row, from, to)) {
        row.status = Status::kDone;
        ++count.back;
      } else {
        row.status = Status::kFailed;
      }
    }
    if (!progress.Step(count.reached, total)) break;
  }
  return count;
}

}  // namespace renamora
