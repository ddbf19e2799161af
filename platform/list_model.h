// The rows of the two lists, held once by the program. A list view on screen
// is only a window onto these rows (it asks for the text of the cells it
// paints), so a list of 100,000 rows costs no more than the rows themselves.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace renamora {

// What a rename did to a row, shown in "状态". The words are the list's
// and the export's alike; a row no command has touched shows none.
enum class Status : unsigned char {
  kNone,                 // ""
  kDone,                 // "完成": renamed by 常规改名, or restored
  kFailed,               // "失败"
  kSucceeded,            // "成功": renamed by 匹配改名
  kSucceededWithSuffix,  // "成功_自动避错": renamed with the row's number added
  kNoCode,               // "失败！未找到代码": no rule's code is in the name
};

inline const std::string& StatusText(Status status) {
  static const std::string kTexts[] = {"",     "完成",          "失败",
                                       "成功", "成功_自动避错", "失败！未找到代码"};
  return kTexts[static_cast<std::size_t>(status)];
}

// One row of the Rule list.
struct RuleRow {
  static constexpr std::size_t kColumns = 2;
  std::string matchCode;  // "匹配代码"
  std::string content;    // "插入内容"

  const std::string& Cell(std::size_t column) const { return column == 0 ? matchCode : content; }
};

// What a list looks like to code that does not care about its row type:
// the column-width fitting and the window that shows it.
class ListModel {
 public:
  virtual ~ListModel() = default;
  virtual std::size_t RowCount() const = 0;
  virtual std::size_t ColumnCount() const = 0;
  virtual const std::string& ColumnTitle(std::size_t column) const = 0;
  // Valid until the list next changes.
  virtual std::string_view CellText(std::size_t row, std::size_t column) const = 0;
  virtual int ColumnWidth(std::size_t column) const = 0;
  virtual void SetColumnWidth(std::size_t column, int width) = 0;
  // The byte length of the longest cell of every column (0 in a list
  // without rows), found in one pass over the rows: a list of a million
  // rows is read once, not once per column.
  virtual std::vector<std::size_t> WidestCells() const = 0;
  // Grows with every width set, so that a view applies only new widths and
  // leaves a column the user dragged alone otherwise.
  std::uint64_t WidthRevision() const { return widthRevision_; }

 protected:
  std::uint64_t widthRevision_ = 0;
};

// The titles and widths of a list's columns.
template <std::size_t Columns>
class ColumnSet : public ListModel {
 public:
  using Titles = std::array<std::string, Columns>;

  ColumnSet(Titles titles, int initialWidth) : titles_(std::move(titles)) {
    widths_.fill(initialWidth);
  }

  std::size_t ColumnCount() const override { return Columns; }
  const std::string& ColumnTitle(std::size_t column) const override { return titles_[column]; }
  int ColumnWidth(std::size_t column) const override { return widths_[column]; }
  void SetColumnWidth(std::size_t column, int width) override {
    widths_[column] = width;
    ++widthRevision_;
  }

 private:
  Titles titles_;
  std::array<int, Columns> widths_{};
};

template <typename Row>
class RowList final : public ColumnSet<Row::kColumns> {
 public:
  using ColumnSet<Row::kColumns>::ColumnSet;

  std::size_t RowCount() const override { return rows_.size(); }
  std::string_view CellText(std::size_t row, std::size_t column) const override {
    return rows_[row].Cell(column);
  }
  std::vector<std::size_t> WidestCells() const override {
    std::array<std::size_t, Row::kColumns> widest{};
    for (const Row& row : rows_) {
      for (std::size_t column = 0; column < Row::kColumns; ++column) {
        widest[column] = std::max(widest[column], row.Cell(column).size());
      }
    }
    return std::vector<std::size_t>(widest.begin(), widest.end());
  }

  Row& operator[](std::size_t row) { return rows_[row]; }
  const Row& operator[](std::size_t row) const { return rows_[row]; }
  std::vector<Row>& Rows() { return rows_; }
  const std::vector<Row>& Rows() const { return rows_; }
  void DeleteAllRows() { std::vector<Row>().swap(rows_); }

 private:
  std::vector<Row> rows_;
};

// The rows of the File list, held compactly: a list may hold a million.
// Each folder's text is kept once (a row names it by number), every name in
// one growing text (a row knows where its names start and how long they
// are), and a row's "现文件名" shares the bytes of its "原名" until a rename
// gives it a name of its own. A name that a rename gives later goes where
// the row's last name of its own was when it fits, at the end of the text
// otherwise. Names read from it stay valid until the rows next change.
class FileRows {
 public:
  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }

  // Room for `rows` rows and `textBytes` bytes of folders and names.
  void Reserve(std::size_t rows, std::size_t textBytes) {
    rows_.reserve(rows);
    blocks_.reserve(textBytes / kBlockBytes + 1);
  }
  // Gives back what is held beyond twice what is used.
  void ShrinkToFit() {
    if (rows_.capacity() / 2 > rows_.size()) rows_.shrink_to_fit();
  }
  void swap(FileRows& other) noexcept {
    rows_.swap(other.rows_);
    folders_.swap(other.folders_);
    folderSlots_.swap(other.folderSlots_);
    blocks_.swap(other.blocks_);
    pieces_.swap(other.pieces_);
    std::swap(end_, other.end_);
    std::swap(textBytes_, other.textBytes_);
  }

  // A row showing `name` in "原名" and "现文件名", in `folder` (with its
  // trailing backslash), and no status.
  void Add(std::string_view folder, std::string_view name) {
    std::uint32_t f;
    // A walk lists a folder's files one after another.
    if (!rows_.empty() && FolderText(rows_.back().folder) == folder) {
      f = rows_.back().folder;
    } else {
      f = FolderNumber(folder);
    }
    const std::uint32_t at = Append(name);
    rows_.push_back(
        {f, at, static_cast<std::uint32_t>(name.size()), at, 0, 0, Status::kNone, false, false});
  }

  std::string_view Folder(std::size_t row) const { return FolderText(rows_[row].folder); }
  std::string_view OriginalName(std::size_t row) const {
    const Row& r = rows_[row];
    return Text(r.original, r.originalLength);
  }
  std::string_view CurrentName(std::size_t row) const {
    const Row& r = rows_[row];
    return r.ownName ? Text(r.current, r.currentLength) : Text(r.original, r.originalLength);
  }
  Status StatusOf(std::size_t row) const { return rows_[row].status; }
  void SetStatus(std::size_t row, Status status) { rows_[row].status = status; }

  // Whether the row's name is one that a way back gave by taking a text off
  // the name it was listed with. "原名" then holds the name before, so a
  // second way back would undo the first: the next rename clears it.
  bool TookTextOff(std::size_t row) const { return rows_[row].tookTextOff; }
  void MarkTookTextOff(std::size_t row) { rows_[row].tookTextOff = true; }

  // Makes sure SetCurrentName(row, name) with a name of `bytes` bytes will
  // need no memory, so that it cannot fail once the file has its name.
  void PrepareCurrentName(std::size_t row, std::size_t bytes) {
    if (bytes > rows_[row].currentRoom) MakeRoom(bytes);
  }
  // `name` is at most 65,535 bytes, as every name a rename gives is.
  void SetCurrentName(std::size_t row, std::string_view name) {
    Row& r = rows_[row];
    r.tookTextOff = false;
    if (name == Text(r.original, r.originalLength)) {
      r.ownName = false;  // its room stays the row's for a later name
      return;
    }
    if (name.size() > r.currentRoom) {
      r.current = Append(name);
      r.currentRoom = static_cast<std::uint16_t>(name.size());
    } else if (!name.empty()) {
      std::memmove(At(r.current), name.data(), name.size());
    }
    r.currentLength = static_cast<std::uint16_t>(name.size());
    r.ownName = true;
  }

  // The bytes the rows hold, room not yet used included.
  std::size_t HeldBytes() const {
    return rows_.capacity() * sizeof(Row) + folders_.capacity() * sizeof(Span) +
           folderSlots_.capacity() * sizeof(std::uint32_t) + blocks_.size() * kBlockBytes +
           blocks_.capacity() * sizeof(char*);
  }
  // The bytes of folders and names written so far.
  std::size_t TextBytes() const { return textBytes_; }

 private:
  struct Row {
    std::uint32_t folder;          // its number in folders_
    std::uint32_t original;        // where "原名" starts in the text
    std::uint32_t originalLength;  //
    std::uint32_t current;         // where the row's room for a name of its own starts
    std::uint16_t currentLength;   // the name of its own
    std::uint16_t currentRoom;     // 0 until it has had one
    Status status;                 // "状态"
    bool ownName;                  // "现文件名" is the name at `current`, else "原名"
    bool tookTextOff;              // see TookTextOff
  };
  // A million rows are held: the flags fill what was padding.
  static_assert(sizeof(Row) == 24, "a row stays 24 bytes");
  struct Span {
    std::uint32_t start;
    std::uint32_t length;
  };

  char* At(std::size_t offset) const {
    return blocks_[offset >> kBlockShift] + (offset & (kBlockBytes - 1));
  }
  std::string_view Text(std::uint32_t start, std::uint32_t length) const {
    return length ? std::string_view(At(start), length) : std::string_view();
  }
  std::string_view FolderText(std::uint32_t folder) const {
    return Text(folders_[folder].start, folders_[folder].length);
  }
  // Makes sure `bytes` more bytes go on in one piece at the end of the
  // text: a piece of blocks is added when they do not, its first block
  // starting where the blocks so far end (the rest of the last one stays
  // unused). Nothing written ever moves, so a name read from the text stays
  // where it is as the text grows, and growing copies nothing.
  void MakeRoom(std::size_t bytes) {
    const std::size_t pieceEnd = blocks_.size() * kBlockBytes;
    if (end_ + bytes <= pieceEnd) return;
    const std::size_t count = std::max<std::size_t>(1, (bytes + kBlockBytes - 1) / kBlockBytes);
    // Left uninitialised: pages the text has not reached yet cost nothing.
    pieces_.emplace_back(new char[count * kBlockBytes]);
    for (std::size_t b = 0; b < count; ++b)
      blocks_.push_back(pieces_.back().get() + b * kBlockBytes);
    end_ = pieceEnd;
  }
  std::uint32_t Append(std::string_view s) {
    MakeRoom(s.size());
    const auto at = static_cast<std::uint32_t>(end_);
    if (!s.empty()) std::memcpy(At(at), s.data(), s.size());
    end_ += s.size();
    textBytes_ += s.size();
    return at;
  }

  static std::uint32_t Hash(std::string_view s) {
    std::uint32_t hash = 2166136261u;
    for (char c : s) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
  }
  std::size_t Home(std::uint32_t hash) const {
    return (hash * 2654435761u) & (folderSlots_.size() - 1);
  }
  // The folder's number, the folder added first if it is new.
  std::uint32_t FolderNumber(std::string_view folder) {
    const std::uint32_t hash = Hash(folder);
    std::size_t i = folderSlots_.empty() ? 0 : Home(hash);
    for (; !folderSlots_.empty() && folderSlots_[i]; i = (i + 1) & (folderSlots_.size() - 1)) {
      if (FolderText(folderSlots_[i] - 1) == folder) return folderSlots_[i] - 1;
    }
    const auto number = static_cast<std::uint32_t>(folders_.size());
    folders_.push_back({Append(folder), static_cast<std::uint32_t>(folder.size())});
    if (folders_.size() * 2 > folderSlots_.size()) {
      // A power of two at most half full.
      std::vector<std::uint32_t>(std::max<std::size_t>(16, folderSlots_.size() * 2))
          .swap(folderSlots_);
      for (std::uint32_t f = 0; f < folders_.size(); ++f) Place(f);
    } else {
      folderSlots_[i] = number + 1;
    }
    return number;
  }
  void Place(std::uint32_t folder) {
    std::size_t i = Home(Hash(FolderText(folder)));
    while (folderSlots_[i]) i = (i + 1) & (folderSlots_.size() - 1);
    folderSlots_[i] = folder + 1;
  }

  std::vector<Row> rows_;
  std::vector<Span> folders_;
  std::vector<std::uint32_t> folderSlots_;  // folder number + 1; 0: empty
  // Every folder and name, in blocks of kBlockBytes: block b holds the
  // text from b * kBlockBytes on. A name longer than a block takes a piece
  // of several blocks in a row.
  static constexpr unsigned kBlockShift = 18;
  static constexpr std::size_t kBlockBytes = std::size_t{1} << kBlockShift;
  std::vector<char*> blocks_;
  std::vector<std::unique_ptr<char[]>> pieces_;
  std::size_t end_ = 0;  // where the next text goes
  std::size_t textBytes_ = 0;
};

// The File list: "文件路径", "原名", "现文件名", "状态", over its rows.
class FileList final : public ColumnSet<4>, public FileRows {
 public:
  using ColumnSet<4>::ColumnSet;

  std::size_t RowCount() const override { return size(); }
  std::string_view CellText(std::size_t row, std::size_t column) const override {
    switch (column) {
      case 0:
        return Folder(row);
      case 1:
        return OriginalName(row);
      case 2:
        return CurrentName(row);
      default:
        return StatusText(StatusOf(row));
    }
  }
  std::vector<std::size_t> WidestCells() const override {
    std::vector<std::size_t> widest(4);
    for (std::size_t row = 0; row < size(); ++row) {
      for (std::size_t column = 0; column < 4; ++column) {
        widest[column] = std::max(widest[column], CellText(row, column).size());
      }
    }
    return widest;
  }

  FileRows& Rows() { return *this; }
  const FileRows& Rows() const { return *this; }
  void DeleteAllRows() { FileRows().swap(*this); }
};

using RuleList = RowList<RuleRow>;

}  // namespace renamora
