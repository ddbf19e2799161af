// The File list: how dropped files and folders become rows, the column-width
// rule, and the two commands that empty the list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/controls.h"

namespace renamora {

// Files-dropped event of 拖放对象1: the dropped text is one full path, or
// every path followed by CR LF.
void LoadDroppedFiles(Context& ctx, const std::string& dropped);

// Every file under the dropped paths, in order; dropped folders are walked.
std::vector<std::string> CollectFilePaths(FileSystem& fs, const std::vector<std::string>& paths);

// Appends the files of `folder` and of its plain subfolders, depth first in
// the order the file system gives them.
void WalkFolder(FileSystem& fs, const std::string& folder, std::vector<std::string>& list);

// Replaces every row of the File list by one row per path.
void FillFileList(Context& ctx, const std::vector<std::string>& paths);

// The path up to and including its last real backslash, and what follows it.
std::string FolderPartOf(std::string_view path);
std::string NamePartOf(std::string_view path);

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
