#include "rename/insert_text.h"

#include "filelist/file_loading.h"
#include "platform/gbk_text.h"
#include "rename/name_parts.h"
#include "rename/row_rename.h"

namespace renamora {

namespace {

constexpr const char kDone[] = "完成";
constexpr const char kFailed[] = "失败";

// Appends the new name to `out` without building it apart first: the
// commands put it straight behind the folder to make the target path.
void AppendInsertedName(std::string& out, std::string_view name, std::string_view t,
                        std::string_view s, InsertPosition position) {
  if (position == InsertPosition::kBefore) {
    out.append(t).append(s).append(name);
    return;
  }
  const std::size_t dot = text::FindLastChar(name, '.');
  const std::size_t baseLength = dot == text::npos ? 0 : dot;
  out.append(name.substr(0, baseLength)).append(s).append(t).append(name.substr(baseLength));
}

InsertPosition PositionOnPage(const Context& ctx) {
  return ctx.ui.单选框1.IsChecked() ? InsertPosition::kBefore : InsertPosition::kAfter;
}

}  // namespace

std::string BuildInsertedName(std::string_view name, std::string_view t, std::string_view s,
                              InsertPosition position) {
  std::string out;
  out.reserve(name.size() + t.size() + s.size());
  AppendInsertedName(out, name, t, s, position);
  return out;
}

void InsertTextRename(Context& ctx) {
  const std::string t = ctx.ui.编辑框1.Text();
  if (t.empty()) return;
  const std::string s = ctx.ui.组合框1.Text();
  const InsertPosition position = PositionOnPage(ctx);
  FileList& rows = ctx.ui.超级列表框1;
  const std::size_t count = rows.RowCount();
  std::string from;
  std::string to;
  for (std::size_t r = 0; r < count; ++r) {
    FileRow& row = rows[r];
    from.assign(row.folder).append(row.currentName);
    to.assign(row.folder);
    AppendInsertedName(to, row.currentName, t, s, position);
    row.status = RenameRowFile(ctx.fs, row, from, to) ? kDone : kFailed;
    if (!ctx.progress.Step(r + 1, count)) break;
  }
  RefitFileListColumns(ctx);
}

void InsertTextRestore(Context& ctx) {
  const std::string t = ctx.ui.编辑框1.Text();
  const std::string s = ctx.ui.组合框1.Text();
  const InsertPosition position = PositionOnPage(ctx);
  const std::string inserted = position == InsertPosition::kBefore ? t + s : s + t;
  FileList& rows = ctx.ui.超级列表框1;
  const std::size_t count = rows.RowCount();
  std::string from;
  std::string to;
  for (std::size_t r = 0; r < count; ++r) {
    FileRow& row = rows[r];
    to.assign(row.folder);
    if (row.originalName != row.currentName) {
      to.append(row.originalName);
    } else if (t.empty()) {
      // Nothing was inserted that could be taken off: the row stays as it
      // is, and the rows after it are still restored.
      continue;
    } else {
      to.append(RemoveEvery(row.currentName, inserted));
    }
    from.assign(row.folder).append(row.currentName);
    row.status = RenameRowFile(ctx.fs, row, from, to) ? kDone : kFailed;
  }
  RefitFileListColumns(ctx);
}

}  // namespace renamora
