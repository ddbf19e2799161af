#include "filelist/file_loading.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gbk_text.h"
#include "platform/name_parts.h"

namespace renamora {

namespace {

// A folder met inside a walk is the user's unless it belongs to the system
// (hidden or system: recycle bins, caches, version-control folders) or is
// a link, which may lead back up its own tree.
bool IsWalkedSubfolder(std::uint32_t attributes) {
  return (attributes & attr::kDirectory) &&
         !(attributes & (attr::kHidden | attr::kSystem | attr::kReparsePoint));
}

// Paths compared as Windows compares names: ASCII letters without case
// where they are characters of their own, every other byte as it is.
void FoldInto(std::string& folded, std::string_view path) {
  folded.assign(path.data(), path.size());
  for (std::size_t i = 0; i < folded.size(); i += text::CharLength(folded, i)) {
    folded[i] = text::AsciiLower(folded[i]);
  }
}

std::uint32_t FoldedHash(std::uint32_t hash, std::string_view path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    const bool single = text::CharLength(path, i) == 1;
    hash = (hash ^ static_cast<unsigned char>(text::AsciiLower(path[i]))) * 16777619u;
    if (!single) hash = (hash ^ static_cast<unsigned char>(path[++i])) * 16777619u;
  }
  return hash;
}

bool IsSamePath(std::string_view path, const FileRows& rows, std::size_t row) {
  const std::string_view folder = rows.Folder(row);
  const std::string_view name = rows.OriginalName(row);
  if (path.size() != folder.size() + name.size()) return false;
  auto at = [&](std::size_t i) { return i < folder.size() ? folder[i] : name[i - folder.size()]; };
  // Equal bytes mean equal character boundaries: the path's serve for both.
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (text::CharLength(path, i) == 2) {
      if (path[i] != at(i) || path[i + 1] != at(i + 1)) return false;
      ++i;
    } else if (text::AsciiLower(path[i]) != text::AsciiLower(at(i))) {
      return false;
    }
  }
  return true;
}

// Whether two of the dropped paths can reach one file: only when one of
// them is, or lies inside, another. Links are never followed inside a walk,
// so no other way leads twice to one path.
bool MayMeetAFileTwice(const std::vector<std::string>& paths) {
  if (paths.size() < 2) return false;
  std::vector<std::string> keys(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    FoldInto(keys[i], paths[i]);
    if (!text::EndsWithChar(keys[i], '\\')) keys[i] += '\\';
  }
  // Sorted, whatever lies inside a path follows it at once.
  std::sort(keys.begin(), keys.end());
  for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
    if (keys[i + 1].compare(0, keys[i].size(), keys[i]) == 0) return true;
  }
  return false;
}

// The rows of one drop, built beside the list so that the list shows either
// the load before or this one whole. A file met again is left out; the
// record of the files met is kept only where a second meeting can happen.
class RowCollector {
 public:
  // A drop most often lists again about as many files as the list holds:
  // room for them at once spares the rows being moved as the list grows.
  RowCollector(Progress& progress, bool mayMeetTwice, const FileRows& likely)
      : progress_(progress), mayMeetTwice_(mayMeetTwice) {
    rows.Reserve(likely.size(), likely.TextBytes());
  }

  // False when the user asked to stop.
  bool Take(std::string_view path) {
    std::uint32_t hash = 0;
    if (mayMeetTwice_ && Seen(path, hash)) return Step();
    const PathParts parts = SplitAtLastBackslash(path);
    rows.Add(parts.folder, parts.name);
    if (mayMeetTwice_) Remember(hash, rows.size() - 1);
    return Step();
  }
  bool Step() { return progress_.Step(rows.size(), 0); }

  // A folder the walk meant to enter and could not open.
  void Unreadable(std::string_view folder) {
    if (unreadable++ == 0) firstUnreadable.assign(folder.data(), folder.size());
  }

  FileRows rows;
  std::size_t unreadable = 0;
  std::string firstUnreadable;

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t row = 0;  // + 1; 0: empty
  };
  static constexpr std::uint32_t kBasis = 2166136261u;
  std::size_t Home(std::uint32_t hash) const { return (hash * 2654435761u) & (slots_.size() - 1); }

  bool Seen(std::string_view path, std::uint32_t& hash) const {
    hash = FoldedHash(kBasis, path);
    if (slots_.empty()) return false;
    for (std::size_t i = Home(hash); slots_[i].row; i = (i + 1) & (slots_.size() - 1)) {
      if (slots_[i].hash == hash && IsSamePath(path, rows, slots_[i].row - 1)) return true;
    }
    return false;
  }
  void Remember(std::uint32_t hash, std::size_t row) {
    if ((row + 1) * 2 > slots_.size()) {
      std::vector<Slot> old(std::max<std::size_t>(64, slots_.size() * 2));
      old.swap(slots_);
      for (const Slot& slot : old) {
        if (slot.row) Place(slot);
      }
    }
    Place({hash, static_cast<std::uint32_t>(row + 1)});
  }
  void Place(const Slot& slot) {
    std::size_t i = Home(slot.hash);
    while (slots_[i].row) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = slot;
  }

  Progress& progress_;
  const bool mayMeetTwice_;
  std::vector<Slot> slots_;  // a power of two at most half full
};

// Hands every file under `folder` to `rows`, depth first in the order the
// file system gives them; false when the user asked to stop.
bool WalkInto(FileSystem& fs, const std::string& folder, RowCollector& rows) {
  // Depth first without recursion, so that no folder depth can exhaust the
  // stack: each level keeps its own open enumeration.
  struct Level {
    std::string folder;
    std::unique_ptr<FolderEnumeration> entries;
  };
  std::vector<Level> stack;
  auto open = [&](std::string path) {
    const std::size_t given = path.size();
    if (!text::EndsWithChar(path, '\\')) path += '\\';
    auto entries = fs.EnumerateFolder(path + "*.*");
    if (entries) {
      stack.push_back({std::move(path), std::move(entries)});
    } else {
      rows.Unreadable(std::string_view(path).substr(0, given));
    }
    // A tree of empty folders takes time too, and can be stopped.
    return rows.Step();
  };
  if (!open(folder)) return false;
  FolderEntry entry;
  std::string path;  // one buffer for every path: a row copies what it keeps
  while (!stack.empty()) {
    Level& level = stack.back();
    if (!level.entries->Next(entry)) {
      stack.pop_back();  // closes the enumeration
      continue;
    }
    if (entry.name == "." || entry.name == "..") continue;
    path.assign(level.folder).append(entry.name);
    // The listing tells the attributes; a folder that vanished since is
    // simply not enumerated. A folder is never a row.
    if (entry.attributes & attr::kDirectory) {
      if (IsWalkedSubfolder(entry.attributes) && !open(path)) return false;
    } else if (!rows.Take(path)) {
      return false;
    }
  }
  return true;
}

// Hands every file under one dropped path to `rows`: a dropped folder is
// walked whatever its attributes, and a path that cannot be read is taken
// as a file. False when the user asked to stop.
bool CollectInto(FileSystem& fs, const std::string& path, RowCollector& rows) {
  const std::optional<std::uint32_t> attributes = fs.Attributes(path);
  if (attributes && (*attributes & attr::kDirectory)) return WalkInto(fs, path, rows);
  return rows.Take(path);
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
  RowCollector collected(ctx.progress, MayMeetAFileTwice(paths), ctx.ui.超级列表框1.Rows());
  // A stopped load lists what it found so far.
  for (const std::string& path : paths) {
    if (!CollectInto(ctx.fs, path, collected)) break;
  }
  FileRows& rows = collected.rows;
  rows.ShrinkToFit();
  // The list takes the new rows whole; the old ones go with `collected`.
  rows.swap(ctx.ui.超级列表框1.Rows());
  RefitFileListColumns(ctx);
  ctx.ui.透明标签1.SetVisible(false);
  ctx.ui.标签4.SetCaption("载入" + std::to_string(ctx.ui.超级列表框1.RowCount()) + "个文件");
  // The files of a folder that could not be opened are missing from the
  // list: the user hears of it once, with the first such folder named.
  if (collected.unreadable > 0) {
    ctx.messages.Show(UnreadableFoldersMessage(collected.unreadable, collected.firstUnreadable),
                      MessageButtons::kOk, kMessageCaption);
  }
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
  ctx.ui.标签4.SetCaption(kListEmptied);
  ctx.ui.透明标签1.SetVisible(true);
}

void ClearFilesAndCounters(Context& ctx) {
  ClearFileList(ctx);
  ctx.ui.透明标签1.Redraw();
  ctx.ui.标签6.SetCaption("成功 个");
  ctx.ui.标签7.SetCaption("失败 个");
}

}  // namespace renamora
