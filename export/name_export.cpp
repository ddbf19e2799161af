#include "export/name_export.h"

#include <algorithm>

#include "command/save_as.h"
#include "platform/gbk_text.h"
#include "platform/name_parts.h"

namespace renamora {

namespace {

bool Selected(ExportSelection selection, Status status) {
  switch (selection) {
    case ExportSelection::kSucceeded:
      return status == Status::kSucceeded || status == Status::kDone;
    case ExportSelection::kFailed:
      return status == Status::kNoCode || status == Status::kFailed;
    case ExportSelection::kAll:
      break;
  }
  return true;
}

// Whether a field holds a "," or a double quote of its own. Most names hold
// neither byte, and a byte search says so at once; a name that holds one is
// stepped through by characters, as a lead byte swallows the byte after it
// whatever that byte is.
bool NeedsQuotes(std::string_view field) {
  if (std::none_of(field.begin(), field.end(), [](char c) { return c == ',' || c == '"'; })) {
    return false;
  }
  for (std::size_t pos = 0; pos < field.size(); pos += text::CharLength(field, pos)) {
    if (field[pos] == ',' || field[pos] == '"') return true;
  }
  return false;
}

// Appends a field as a CSV reader takes it back: one holding "," or a double
// quote enclosed in double quotes, its inner quotes doubled; any other as it
// stands.
void AppendField(std::string& out, std::string_view field) {
  if (!NeedsQuotes(field)) {
    out.append(field);
    return;
  }
  out += '"';
  for (std::size_t pos = 0; pos < field.size();) {
    const std::size_t length = text::CharLength(field, pos);
    if (length == 1 && field[pos] == '"') out += '"';
    out.append(field.substr(pos, length));
    pos += length;
  }
  out += '"';
}

}  // namespace

std::optional<std::string> NameListText(const FileList& list, ExportSelection selection,
                                        bool currentNames, Progress& progress) {
  const std::size_t rows = list.RowCount();
  // Room for the whole text at once, from the lengths of the rows' names
  // (more than their bases): a million rows are then not copied again and
  // again as the text grows. Only quotes ask for more.
  std::size_t room = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    const Status status = list.StatusOf(r);
    if (!Selected(selection, status)) continue;
    room += (currentNames ? list.CurrentName(r) : list.OriginalName(r)).size() + 2;
    if (selection == ExportSelection::kAll) room += 1 + StatusText(status).size();
  }
  std::string text;
  text.reserve(room);
  for (std::size_t r = 0; r < rows; ++r) {
    const Status status = list.StatusOf(r);
    if (!Selected(selection, status)) continue;
    AppendField(text,
                SplitAtLastDot(currentNames ? list.CurrentName(r) : list.OriginalName(r)).base);
    // The status words hold neither "," nor a quote: they stand as they are.
    if (selection == ExportSelection::kAll) text.append(",").append(StatusText(status));
    text += "\r\n";
    if (!progress.Step(r + 1, rows)) return std::nullopt;
  }
  return text;
}

void ExportNameList(Context& ctx, ExportSelection selection) {
  // Taken before the dialog opens: the file holds the list as it was clicked.
  const std::optional<std::string> bytes =
      NameListText(ctx.ui.超级列表框1, selection, ctx.ui.单选框5.IsChecked(), ctx.progress);
  // A stopped export asks for no file and writes none.
  if (bytes) SaveAs(ctx, ctx.ui.通用对话框1, *bytes);
}

}  // namespace renamora
