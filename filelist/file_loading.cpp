#include "filelist/file_loading.h"

#include <algorithm>
#include <memory>

#include "platform/gbk_text.h"
#include "platform/name_parts.h"

namespace renamora {

namespace {

bool IsDroppedFolder(std::optional<std::uint32_t> attributes) {
  return attributes &&
         (*attributes == attr::kDirectory || *attributes == (attr::kDirectory | attr::kArchive));
}

bool IsPlainSubfolder(std::optional<std::uint32_t> attributes) {
  return attributes && *attributes == attr::kDirectory;
}

// Hands every file under `folder` to `take`, depth first in the order the
// file system gives them, until `take` returns false; false then.
template <typename Take>
bool WalkInto(FileSystem& fs, const std::string& folder, Take&& take) {
  // Depth first without recursion, so that no folder depth can exhaust the
  // stack: each level keeps its own open enumeration.
  struct Level {
    std::string folder;
    std::unique_ptr<FolderEnumeration> entries;
  };
  std::vector<Level> stack;
  auto open = [&](std::string path) {
    if (!text::EndsWithChar(path, '\\')) path += '\\';
    auto entries = fs.EnumerateFolder(path + "*.*");
    if (entries) stack.push_back({std::move(path), std::move(entries)});
  };
  open(folder);
  FolderEntry entry;
  std::string path;  // one buffer for every path: `take` copies what it keeps
  while (!stack.empty()) {
    Level& level = stack.back();
    if (!level.entries->Next(entry)) {
      stack.pop_back();  // closes the enumeration
      continue;
    }
    if (entry.name == "." || entry.name == "..") continue;
    path.assign(level.folder).append(entry.name);
    // The listing already tells the attributes; only what looks like a
    // plain folder is asked again, so that one that vanished meanwhile is
    // listed as a file rather than walked.
    if (entry.attributes == attr::kDirectory && IsPlainSubfolder(fs.Attributes(path))) {
      open(path);
    } else if (!take(static_cast<const std::string&>(path))) {
      return false;
    }
  }
  return true;
}

// Hands every file under one dropped path to `take`: a dropped folder is
// walked. False when `take` said stop.
template <typename Take>
bool CollectInto(FileSystem& fs, const std::string& path, Take&& take) {
  if (IsDroppedFolder(fs.Attributes(path))) return WalkInto(fs, path, take);
  return take(path);
}

// Writes the cells of one collected path into a row, in the room the row's
// texts already have.
void SetRow(FileRow& row, const std::string& path) {
  const PathParts parts = SplitAtLastBackslash(path);
  row.folder.assign(parts.folder.data(), parts.folder.size());
  row.originalName.assign(parts.name.data(), parts.name.size());
  row.currentName.assign(parts.name.data(), parts.name.size());
  row.status = Status::kNone;
}

// A new row of one collected path; the path's own text becomes "现文件名".
FileRow RowOf(std::string path) {
  const PathParts parts = SplitAtLastBackslash(path);
  FileRow row;
  row.folder.assign(parts.folder.data(), parts.folder.size());
  row.originalName.assign(parts.name.data(), parts.name.size());
  row.currentName = std::move(path);
  row.currentName.erase(0, row.folder.size());
  return row;
}

}  // namespace

void LoadDroppedFiles(Context& ctx, const std::string& dropped) {
  std::vector<std::string> paths;
  if (text::FindText(dropped, "\r\n") == text::npos) {
    paths.push_back(dropped);
  } else {
    std::size_t pos = 0;
    std::string_view line;
    while (text::NextLine(dropped, pos, line)) paths.emplace_back(line);
  }
  // Each file is written over the row it replaces as soon as the walk finds
  // it: a new drop of a million files then needs neither a list of paths
  // beside the rows nor fresh memory for them. Only files beyond the rows
  // there were wait in a list, so that their rows take their room at once.
  // Nothing looks at the list before the command ends, so this changes
  // nothing else.
  std::vector<FileRow>& storage = ctx.ui.超级列表框1.Rows();
  std::size_t filled = 0;
  std::vector<std::string> more;
  auto take = [&](const std::string& path) {
    if (filled < storage.size()) {
      SetRow(storage[filled++], path);
    } else {
      more.push_back(path);
    }
    return ctx.progress.Step(filled + more.size(), 0);
  };
  // A stopped load lists what it found so far.
  for (const std::string& path : paths) {
    if (!CollectInto(ctx.fs, path, take)) break;
  }
  storage.erase(storage.begin() + static_cast<std::ptrdiff_t>(filled), storage.end());
  if (!more.empty()) {
    storage.reserve(filled + more.size());
    for (std::string& path : more) storage.push_back(RowOf(std::move(path)));
  }
  // Storage far beyond what the new rows need is given back.
  if (storage.capacity() / 2 > storage.size()) storage.shrink_to_fit();
  RefitFileListColumns(ctx);
  ctx.ui.透明标签1.SetVisible(false);
  ctx.ui.标签4.SetCaption("载入" + std::to_string(storage.size()) + "个文件");
}

void FitColumnsToContent(ListModel& list) {
  const std::vector<std::size_t> cells = list.WidestCells();
  for (std::size_t column = 0; column < cells.size(); ++column) {
    const std::size_t widest = std::max(list.ColumnTitle(column).size(), cells[column]);
    list.SetColumnWidth(column, static_cast<int>(6 * widest + 12));
  }
}

void RefitFileListColumns(Context& ctx) {
  FitColumnsToContent(ctx.ui.超级列表框1);
  ctx.ui.超级列表框1.SetColumnWidth(0, 80);
  ctx.ui.超级列表框1.SetColumnWidth(1, 80);
}

void ClearFileList(Context& ctx) {
  ctx.ui.超级列表框1.DeleteAllRows();
  ctx.ui.标签4.SetCaption("未载入文件");
  ctx.ui.透明标签1.SetVisible(true);
}

void ClearFilesAndCounters(Context& ctx) {
  ClearFileList(ctx);
  ctx.ui.透明标签1.Redraw();
  ctx.ui.标签6.SetCaption("成功 个");
  ctx.ui.标签7.SetCaption("失败 个");
}

}  // namespace renamora
