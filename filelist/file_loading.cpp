#include "filelist/file_loading.h"

#include <algorithm>
#include <memory>

#include "platform/gbk_text.h"

namespace renamora {

namespace {

bool IsDroppedFolder(std::optional<std::uint32_t> attributes) {
  return attributes &&
         (*attributes == attr::kDirectory || *attributes == (attr::kDirectory | attr::kArchive));
}

bool IsPlainSubfolder(std::optional<std::uint32_t> attributes) {
  return attributes && *attributes == attr::kDirectory;
}

}  // namespace

void LoadDroppedFiles(Context& ctx, const std::string& dropped) {
  std::vector<std::string> paths;
  if (text::FindText(dropped, "\r\n") == text::npos) {
    paths.push_back(dropped);
  } else {
    for (std::string_view piece : text::SplitAtCrLf(dropped)) paths.emplace_back(piece);
  }
  const std::vector<std::string> collected = CollectFilePaths(ctx.fs, paths);
  FillFileList(ctx, collected);
  ctx.ui.标签4.SetCaption("载入" + text::Decimal(collected.size()) + "个文件");
}

std::vector<std::string> CollectFilePaths(FileSystem& fs, const std::vector<std::string>& paths) {
  std::vector<std::string> list;
  for (const std::string& path : paths) {
    if (IsDroppedFolder(fs.Attributes(path))) {
      WalkFolder(fs, path, list);
    } else {
      list.push_back(path);
    }
  }
  return list;
}

void WalkFolder(FileSystem& fs, const std::string& folder, std::vector<std::string>& list) {
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
  while (!stack.empty()) {
    Level& level = stack.back();
    if (!level.entries->Next(entry)) {
      stack.pop_back();  // closes the enumeration
      continue;
    }
    if (entry.name == "." || entry.name == "..") continue;
    std::string path = level.folder + entry.name;
    // The listing already tells the attributes; only what looks like a
    // plain folder is asked again, so that one that vanished meanwhile is
    // listed as a file rather than walked.
    if (entry.attributes == attr::kDirectory && IsPlainSubfolder(fs.Attributes(path))) {
      open(std::move(path));
    } else {
      list.push_back(std::move(path));
    }
  }
}

void FillFileList(Context& ctx, const std::vector<std::string>& paths) {
  FileList& rows = ctx.ui.超级列表框1;
  rows.DeleteAllRows();
  rows.Rows().reserve(paths.size());
  for (const std::string& path : paths) {
    FileRow row;
    row.folder = FolderPartOf(path);
    row.originalName = NamePartOf(path);
    row.currentName = row.originalName;
    rows.AppendRow(std::move(row));
  }
  RefitFileListColumns(ctx);
  ctx.ui.透明标签1.SetVisible(false);
}

std::string FolderPartOf(std::string_view path) {
  const std::size_t slash = text::FindLastChar(path, '\\');
  return slash == text::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string NamePartOf(std::string_view path) {
  const std::size_t slash = text::FindLastChar(path, '\\');
  return std::string(slash == text::npos ? path : path.substr(slash + 1));
}

void FitColumnsToContent(ListModel& list) {
  const std::size_t rows = list.RowCount();
  for (std::size_t column = 0; column < list.ColumnCount(); ++column) {
    std::size_t widest = list.ColumnTitle(column).size();
    for (std::size_t row = 0; row < rows; ++row) {
      widest = std::max(widest, list.CellText(row, column).size());
    }
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
  ctx.ui.超级列表框1.DeleteAllRows();
  ctx.ui.标签4.SetCaption("未载入文件");
  ctx.ui.透明标签1.SetVisible(true);
  ctx.ui.透明标签1.Redraw();
  ctx.ui.标签6.SetCaption("成功 个");
  ctx.ui.标签7.SetCaption("失败 个");
}

}  // namespace renamora
