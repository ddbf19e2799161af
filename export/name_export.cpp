#include "export/name_export.h"

#include "platform/gbk_text.h"
#include "rename/name_parts.h"

namespace renamora {

namespace {

bool Selected(ExportSelection selection, const std::string& status) {
  switch (selection) {
    case ExportSelection::kSucceeded:
      return status == "成功" || status == "完成";
    case ExportSelection::kFailed:
      return status == "失败！未找到代码" || status == "失败";
    case ExportSelection::kAll:
      break;
  }
  return true;
}

}  // namespace

std::string CsvField(std::string_view field) {
  if (text::FindChar(field, ',') == text::npos && text::FindChar(field, '"') == text::npos) {
    return std::string(field);
  }
  std::string quoted;
  quoted.reserve(field.size() + 2);
  quoted += '"';
  for (std::size_t pos = 0; pos < field.size();) {
    const std::size_t length = text::CharLength(field, pos);
    if (length == 1 && field[pos] == '"') quoted += '"';
    quoted.append(field, pos, length);
    pos += length;
  }
  quoted += '"';
  return quoted;
}

std::string NameListText(const FileList& list, ExportSelection selection, bool currentNames) {
  std::string out;
  const std::size_t rows = list.RowCount();
  for (std::size_t r = 0; r < rows; ++r) {
    const FileRow& row = list[r];
    if (!Selected(selection, row.status)) continue;
    out += CsvField(SplitAtLastDot(currentNames ? row.currentName : row.originalName).base);
    if (selection == ExportSelection::kAll) {
      out += ',';
      // The program's own status words hold neither "," nor a quote; the
      // field rule only guards the line against anything else.
      out += CsvField(row.status);
    }
    out += "\r\n";
  }
  return out;
}

void ExportNameList(Context& ctx, ExportSelection selection) {
  // Taken before the dialog opens: the file holds the list as it was clicked.
  const std::string bytes = NameListText(ctx.ui.超级列表框1, selection, ctx.ui.单选框5.IsChecked());

  SaveDialog& dialog = ctx.ui.通用对话框1;
  dialog.SetInitialFolder(ctx.fs.DesktopFolder());
  if (!dialog.Show()) return;
  const std::string path = dialog.FileName();
  if (!ctx.fs.WriteWholeFile(path, bytes)) {
    ctx.messages.Show(WriteFailedMessage(path), MessageButtons::kOk, kMessageCaption);
  }
}

}  // namespace renamora
