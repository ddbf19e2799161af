#include "rename/insert_text.h"

#include "filelist/file_loading.h"
#include "platform/gbk_text.h"
#include "platform/name_parts.h"
#include "rename/row_rename.h"

namespace renamora {

void AppendInsertedName(std::string& out, std::string_view name, std::string_view text,
                        std::string_view separator, InsertPosition position) {
  if (position == InsertPosition::kBefore) {
    out.append(text).append(separator).append(name);
    return;
  }
  const NameParts parts = SplitAtLastDot(name);
  out.append(parts.base).append(separator).append(text).append(parts.extension);
}

std::string InsertedText(std::string_view text, std::string_view separator,
                         InsertPosition position) {
  std::string inserted;
  inserted.reserve(text.size() + separator.size());
  if (position == InsertPosition::kBefore) return inserted.append(text).append(separator);
  return inserted.append(separator).append(text);
}

namespace {

// Whether a character of `s` starts at `pos` (the end counts as one).
bool StartsCharacter(std::string_view s, std::size_t pos) {
  std::size_t at = 0;
  while (at < pos) at += text::CharLength(s, at);
  return at == pos;
}

}  // namespace

bool AppendNameWithoutInserted(std::string& out, std::string_view name, std::string_view inserted,
                               InsertPosition position) {
  const NameParts parts = SplitAtLastDot(name);
  std::string_view front = name;  // what the text is taken off the end of
  std::string_view rest;          // what follows that
  bool atStart = true;
  if (position == InsertPosition::kAfter && text::FindLastChar(name, '.') != text::npos) {
    front = parts.base;
    rest = parts.extension;
    atStart = false;
  }
  std::size_t start = 0;
  std::size_t end = front.size();
  if (!inserted.empty()) {
    if (atStart) {
      while (front.substr(start, inserted.size()) == inserted &&
             StartsCharacter(front, start + inserted.size())) {
        start += inserted.size();
      }
    } else {
      while (end >= inserted.size() &&
             front.substr(end - inserted.size(), inserted.size()) == inserted &&
             StartsCharacter(front, end - inserted.size())) {
        end -= inserted.size();
      }
    }
  }
  const std::string_view kept = front.substr(start, end - start);
  // No name at all, or one that is all extension ('.jpg').
  const bool noBase = atStart ? text::FindLastChar(kept, '.') == 0 : kept.empty();
  if (kept.size() != front.size() && (kept.empty() || noBase)) return false;
  out.append(kept).append(rest);
  return true;
}

namespace {

InsertPosition PositionOnPage(const Context& ctx) {
  return ctx.ui.单选框1.IsChecked() ? InsertPosition::kBefore : InsertPosition::kAfter;
}

}  // namespace

void InsertTextRename(Context& ctx) {
  std::string text;
  std::string separator;
  if (!ReadUsableText(ctx.ui.编辑框1, ctx.messages, kInsertTextLabel, text) || text.empty()) return;
  if (!ReadUsableText(ctx.ui.组合框1, ctx.messages, kSeparatorLabel, separator)) return;
  const InsertPosition position = PositionOnPage(ctx);
  FileList& rows = ctx.ui.超级列表框1;
  const std::size_t count = rows.RowCount();
  std::string from;
  std::string to;
  for (std::size_t r = 0; r < count; ++r) {
    from.assign(rows.Folder(r)).append(rows.CurrentName(r));
    to.assign(rows.Folder(r));
    AppendInsertedName(to, rows.CurrentName(r), text, separator, position);
    rows.SetStatus(r, RenameRowFile(ctx.fs, rows, r, from, to) ? Status::kDone : Status::kFailed);
    if (!ctx.progress.Step(r + 1, count)) break;
  }
  RefitFileListColumns(ctx);
}

void InsertTextRestore(Context& ctx) {
  std::string text;
  std::string separator;
  if (!ReadUsableText(ctx.ui.编辑框1, ctx.messages, kInsertTextLabel, text) ||
      !ReadUsableText(ctx.ui.组合框1, ctx.messages, kSeparatorLabel, separator)) {
    return;
  }
  const InsertPosition position = PositionOnPage(ctx);
  const std::string inserted = InsertedText(text, separator, position);
  RestoreRows(
      ctx.fs, ctx.ui.超级列表框1, ctx.progress, [&](std::string_view currentName, std::string& to) {
        // Without a text nothing was inserted that could be taken off.
        if (text.empty()) return WayBack::kLeave;
        return AppendNameWithoutInserted(to, currentName, inserted, position) ? WayBack::kRename
                                                                              : WayBack::kLeave;
      });
  RefitFileListColumns(ctx);
}

}  // namespace renamora
