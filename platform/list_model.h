// The rows of the two lists, held once by the program. A list view on screen
// is only a window onto these rows (it asks for the text of the cells it
// paints), so a list of 100,000 rows costs no more than the rows themselves.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
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

// One row of the File list.
struct FileRow {
  static constexpr std::size_t kColumns = 4;
  std::string folder;             // "文件路径": the folder with its trailing backslash
  std::string originalName;       // "原名": the name when listed
  std::string currentName;        // "现文件名": the name the file is taken to have now
  Status status = Status::kNone;  // "状态"

  const std::string& Cell(std::size_t column) const {
    switch (column) {
      case 0:
        return folder;
      case 1:
        return originalName;
      case 2:
        return currentName;
      default:
        return StatusText(status);
    }
  }
};

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
  virtual const std::string& CellText(std::size_t row, std::size_t column) const = 0;
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

template <typename Row>
class RowList final : public ListModel {
 public:
  using Titles = std::array<std::string, Row::kColumns>;

  RowList(Titles titles, int initialWidth) : titles_(std::move(titles)) {
    widths_.fill(initialWidth);
  }

  std::size_t RowCount() const override { return rows_.size(); }
  std::size_t ColumnCount() const override { return Row::kColumns; }
  const std::string& ColumnTitle(std::size_t column) const override { return titles_[column]; }
  const std::string& CellText(std::size_t row, std::size_t column) const override {
    return rows_[row].Cell(column);
  }
  int ColumnWidth(std::size_t column) const override { return widths_[column]; }
  void SetColumnWidth(std::size_t column, int width) override {
    widths_[column] = width;
    ++widthRevision_;
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
  Titles titles_;
  std::array<int, Row::kColumns> widths_{};
  std::vector<Row> rows_;
};

using FileList = RowList<FileRow>;
using RuleList = RowList<RuleRow>;

}  // namespace renamora
