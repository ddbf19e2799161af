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
// the new name). A new name loses the dots and blanks at its end, as Windows
// would store it from a plain path, so that no rename makes a name Explorer
// cannot open; the name the file was listed under is taken back exactly as
// it was. Only when the disk says yes does the row take the new name:
// "现文件名" always holds the name the file really has, so that a failed row
// can be renamed again and is exported under its real name. The room for
// the new name is made first, so that once the file has its new name
// nothing can fail before the row says so.
inline bool RenameRowFile(FileSystem& fs, FileList& list, std::size_t row, const std::string& from,
                          const std::string& to) {
  const std::size_t folder = list.Folder(row).size();
  std::string_view name = std::string_view(to).substr(folder);
  if (name != list.OriginalName(row)) name = WithoutTrailingDotsAndBlanks(name);
  list.PrepareCurrentName(row, name.size());
  // Only a name that lost something asks for a path of its own.
  const bool renamed = folder + name.size() == to.size()
                           ? fs.RenameFile(from, to).ok
                           : fs.RenameFile(from, to.substr(0, folder + name.size())).ok;
  if (!renamed) return false;
  list.SetCurrentName(row, name);
  return true;
}

// What the way back does with a row that shows one name in both columns and
// that no command has touched since it was listed (a file listed after it
// was renamed): rename it to the name appended to the target, leave it as
// it is (nothing tells what was inserted into its name, or taking it off
// would leave no name), or count it failed without touching the disk (no
// rule's code is in its name).
enum class WayBack { kRename, kLeave, kFail };

// The way back of both rename pages: every listed file is renamed to
// "原名", or, for an untouched row with one name in both columns, as
// `takeOff(currentName, to)` says, having appended the name to the target
// (the row's folder) when it says kRename; the rows after it are restored
// whatever it says. A touched row with one name in both columns is back
// already or was never renamed, and a row whose name a way back took a text
// off is where that way back put it: both are left alone, status and all.
// Each row renamed shows "完成", each that fails "失败". After every row
// `progress` is told, and a stop ends the run there.
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
    WayBack way = WayBack::kRename;
    bool takingOff = false;
    if (!rows.TookTextOff(row) && rows.OriginalName(row) != rows.CurrentName(row)) {
      to.append(rows.OriginalName(row));
    } else if (!rows.TookTextOff(row) && rows.StatusOf(row) == Status::kNone) {
      way = takeOff(rows.CurrentName(row), to);
      takingOff = true;
    } else {
      way = WayBack::kLeave;
      if (rows.StatusOf(row) == Status::kDone) ++count.back;
    }
    if (way == WayBack::kRename) {
      from.assign(rows.Folder(row)).append(rows.CurrentName(row));
      if (RenameRowFile(fs, rows, row, from, to)) {
        rows.SetStatus(row, Status::kDone);
        if (takingOff) rows.MarkTookTextOff(row);
        ++count.back;
      } else {
        rows.SetStatus(row, Status::kFailed);
      }
    } else if (way == WayBack::kFail) {
      rows.SetStatus(row, Status::kFailed);
    }
    if (!progress.Step(count.reached, total)) break;
  }
  return count;
}

}  // namespace renamora
