// The File list: how dropped files and folders become rows, the column-width
// rule, and the two commands that empty the list.
#pragma once

#include <string>

#include "command/context.h"

namespace renamora {

// 标签4's caption before the first drop, and once 按钮3 has emptied the
// list: two words on purpose, as users of the program have always seen them.
inline constexpr char kNothingLoadedYet[] = "未加载文件";
inline constexpr char kListEmptied[] = "未载入文件";

// The box after a load in which `count` folders could not be opened, the
// first of them `first`.
inline std::string UnreadableFoldersMessage(std::size_t count, const std::string& first) {
  return "有" + std::to_string(count) + "个文件夹无法读取，其中的文件未载入：" + first;
}

// Files-dropped event of 拖放对象1: the dropped text is one full path, or
// every path followed by CR LF, each taken exactly as the shell gives it. A
// folder is never a row: a dropped one is walked, and so is every subfolder
// but hidden and system ones and links. Every file found is listed once,
// where it is first met, depth first in the order the file system gives
// them. Folders that cannot be opened are counted and told in one box.
void LoadDroppedFiles(Context& ctx, const std::string& dropped);

// Every column as wide as its longest cell or its title: 6 pixels a byte
// plus 12.
void FitColumnsToContent(ListModel& list);

// Fits the File list, then fixes "文件路径" and "原名" at 80 pixels.
void RefitFileListColumns(Context& ctx);

// 按钮3 "清空": empties the File list.
void ClearFileList(Context& ctx);
// 按钮6 "清空文件": empties the File list and resets the match counters.
void ClearFilesAndCounters(Context& ctx);

}  // namespace renamora
