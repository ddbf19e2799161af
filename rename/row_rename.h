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
inline bool RenameRowFile(FileSystem& fs, FileList& list, std::size_t row, const std::string& from,
                          const std::string& to) {
  const std::string_view name =
      WithoutTrailingDotsAndBlanks(std::string_view(to).substr(list.Folder(row).size()));
  list.PrepareCurrentName(row, name.size());
  if (!fs.RenameFile(from, to)) return false;
  list.SetCurrentName(row, name);
  return true;
}

// The way back of both rename pages: every listed file is renamed to
// "原名", or, where the row shows one name in both columns and no command
// has touched it since it was listed (a file listed after it was renamed),
// to what `takeOff(currentName, to)` appends to the target (the row's folder); a
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
    const std::size_t row = count.reached++;
    to.assign(rows.Folder(row));
    bool known = true;
    if (rows.OriginalName(row) != rows.CurrentName(row)) {
      to.append(rows.OriginalName(row));
    } else if (rows.StatusOf(row) == Status::kNone) {
      known = takeOff(rows.CurrentName(row), to);
    } else {
      known = false;
      if (rows.StatusOf(row) == Status::kDone) ++count.back;
    }
    if (known) {
      from.assign(rows.Folder(row)).append(rows.CurrentName(row));
      if (RenameRowFile(fs, rows, row, from, to)) {
        rows.SetStatus(row, Status::kDone);
        ++count.back;
      } else {
        rows.SetStatus(row, Status::kFailed);
      }
    }
    if (!progress.Step(count.reached, total)) break;
  }
  return count;
}

}  // namespace renamora
