// The "导出设置" page: the names of the listed files written to a
// comma-separated file that the user picks in 通用对话框1.
#pragma once

#include <optional>
#include <string>

#include "command/context.h"

namespace renamora {

// Which rows go into the file: every row, the rows whose rename succeeded
// ("成功", "完成"), or those whose rename failed ("失败", "失败！未找到代码").
// A suffixed success ("成功_自动避错") and an untouched row count only for all.
enum class ExportSelection { kAll, kSucceeded, kFailed };

// Clicks on 按钮8 (all), 按钮9 (succeeded) and 按钮10 (failed). Each line
// holds the base of the chosen name (单选框5 "现文件名", else "原名"), for
// all followed by "," and the status, and ends with CR LF. A write that
// fails is reported in a message box.
void ExportNameList(Context& ctx, ExportSelection selection);

// The whole file for the rows of `list` as they are now. A name holding ","
// or a double quote is enclosed in double quotes with its inner quotes
// doubled, as a CSV reader takes it back.
// `progress` is told after every row; nothing when the user stopped it.
std::optional<std::string> NameListText(const FileList& list, ExportSelection selection,
                                        bool currentNames, Progress& progress);

}  // namespace renamora
