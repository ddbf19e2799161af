#include "export/name_export.h"

#include "platform/gbk_text.h"
#include "platform/save_as.h"

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

// Appends the field as CsvField gives it, without a text of its own: an
// export of a million rows then makes no text per row.
void AppendCsvField(std::string& out, std::string_view field) {
  bool plain = true;
  for (std::size_t pos = 0; pos < field.size() && plain; pos += text::CharLength(field, pos)) {
    plain = field[pos] != ',' && field[pos] != '"';
  }
  if (plain) {
    out.append(field.data(), field.size());
    return;
  }
  out += '"';
  for (std::size_t pos = 0; pos < field.size();) {
    const std::size_t length = text::CharLength(field, pos);
    if (length == 1 && field[pos] == '"') out += '"';
    out.append(field.data() + pos, length);
    pos += length;
  }
  out += '"';
}

}  // namespace

std::string CsvField(std::string_view field) {
  std::string quoted;
  quoted.reserve(field.size() + 2);
  AppendCsvField(quoted, field);
  return quoted;
}

std::string NameListText(const FileList& list, ExportSelection selection, bool currentNames) {
  const std::size_t rows = list.RowCount();
  // Room for the whole text at once (only quoting can ask for more): a text
  // grown by doubling would copy itself again and again and, for a million
  // rows, take fresh memory from the system at every export.
  std::size_t room = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    const FileRow& row = list[r];
    if (!Selected(selection, row.status)) continue;
    room += (currentNames ? row.currentName : row.originalName).size() + 2;
    if (selection == ExportSelection::kAll) room += 1 + row.status.size();
  }
  std::string out;
  out.reserve(room);
  for (std::size_t r = 0; r < rows; ++r) {
    const FileRow& row = list[r];
    if (!Selected(selection, row.status)) continue;
    // The base as SplitAtLastDot gives it: before the last ".", empty
    // without one.
    const std::string_view name = currentNames ? row.currentName : row.originalName;
    const std::size_t dot = text::FindLastChar(name, '.');
    AppendCsvField(out, name.substr(0, dot == text::npos ? 0 : dot));
    if (selection == ExportSelection::kAll) {
      out += ',';
      // The program's own status words hold neither "," nor a quote; the
      // field rule only guards the line against anything else.
      AppendCsvField(out, row.status);
    }
    out += "\r\n";
  }
  return out;
}

void ExportNameList(Context& ctx, ExportSelection selection) {
  // Taken before the dialog opens: the file holds the list as it was clicked.
  const std::string bytes = NameListText(ctx.ui.超级列表框1, selection, ctx.ui.单选框5.IsChecked());
  SaveAs(ctx, ctx.ui.通用对话框1, bytes);
}

}  // namespace renamora
