#include "export/name_export.h"

#include <cstdint>
#include <cstring>

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

// Whether the field holds a "," or double quote byte, looked for eight
// bytes at a time. A field without either needs no quotes; one with either
// is stepped through by characters (NeedsQuotes), as a lead byte swallows
// the byte after it whatever that byte is.
bool MayNeedQuotes(std::string_view field) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  constexpr std::uint64_t kCommas = kOnes * ',';
  constexpr std::uint64_t kQuotes = kOnes * '"';
  std::size_t pos = 0;
  for (; pos + 8 <= field.size(); pos += 8) {
    std::uint64_t word;
    std::memcpy(&word, field.data() + pos, 8);
    // A byte of `word` equal to c leaves a zero byte in word ^ (c in every
    // byte); (x - 1s) & ~x sets the high bit of each zero byte of x.
    const std::uint64_t commas = word ^ kCommas;
    const std::uint64_t quotes = word ^ kQuotes;
    if ((((commas - kOnes) & ~commas) | ((quotes - kOnes) & ~quotes)) & kHighBits) return true;
  }
  for (; pos < field.size(); ++pos) {
    if (field[pos] == ',' || field[pos] == '"') return true;
  }
  return false;
}

bool NeedsQuotes(std::string_view field) {
  if (!MayNeedQuotes(field)) return false;
  for (std::size_t pos = 0; pos < field.size(); pos += text::CharLength(field, pos)) {
    if (field[pos] == ',' || field[pos] == '"') return true;
  }
  return false;
}

// A text written in place, each field as a CSV reader takes it back (a
// field holding "," or a double quote enclosed in double quotes, its inner
// quotes doubled; any other as it stands), in room taken
// once for the plain size of every field: an export of a million rows then
// makes no text per row, copies each name once, and is not copied again as
// it grows. Only a field that takes quotes asks for more room.
class CsvText {
 public:
  explicit CsvText(std::size_t plainSize) : text_(plainSize, '\0') {}

  // Holds as long as every field still to come is written plain: the room
  // left covers their plain sizes.
  void Field(std::string_view field) {
    if (!NeedsQuotes(field)) {
      Plain(field);
      return;
    }
    // At most every byte doubled, and the two quotes.
    text_.resize(text_.size() + field.size() + 2);
    char* out = text_.data() + used_;
    *out++ = '"';
    for (std::size_t pos = 0; pos < field.size();) {
      const std::size_t length = text::CharLength(field, pos);
      if (length == 1 && field[pos] == '"') *out++ = '"';
      std::memcpy(out, field.data() + pos, length);
      out += length;
      pos += length;
    }
    *out++ = '"';
    used_ = static_cast<std::size_t>(out - text_.data());
  }
  // A text known to need no quotes.
  void Plain(std::string_view field) {
    if (!field.empty()) std::memcpy(text_.data() + used_, field.data(), field.size());
    used_ += field.size();
  }
  void Char(char c) { text_[used_++] = c; }

  std::string Take() {
    text_.resize(used_);
    return std::move(text_);
  }

 private:
  std::string text_;
  std::size_t used_ = 0;
};

}  // namespace

std::optional<std::string> NameListText(const FileList& list, ExportSelection selection,
                                        bool currentNames, Progress& progress) {
  const std::size_t rows = list.RowCount();
  // The plain size of the whole text, read from the rows alone (a name's
  // length, not its bytes): a name longer than its base only leaves room
  // unused.
  std::size_t plainSize = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    if (!Selected(selection, list.StatusOf(r))) continue;
    plainSize += (currentNames ? list.CurrentName(r) : list.OriginalName(r)).size() + 2;
    if (selection == ExportSelection::kAll) plainSize += 1 + StatusText(list.StatusOf(r)).size();
  }
  CsvText text(plainSize);
  for (std::size_t r = 0; r < rows; ++r) {
    if (!Selected(selection, list.StatusOf(r))) continue;
    text.Field(SplitAtLastDot(currentNames ? list.CurrentName(r) : list.OriginalName(r)).base);
    if (selection == ExportSelection::kAll) {
      text.Char(',');
      // The status words hold neither "," nor a quote: they are written as
      // they stand.
      text.Plain(StatusText(list.StatusOf(r)));
    }
    text.Char('\r');
    text.Char('\n');
    if (!progress.Step(r + 1, rows)) return std::nullopt;
  }
  return text.Take();
}

void ExportNameList(Context& ctx, ExportSelection selection) {
  // Taken before the dialog opens: the file holds the list as it was clicked.
  const std::optional<std::string> bytes =
      NameListText(ctx.ui.超级列表框1, selection, ctx.ui.单选框5.IsChecked(), ctx.progress);
  // A stopped export asks for no file and writes none.
  if (bytes) SaveAs(ctx, ctx.ui.通用对话框1, *bytes);
}

}  // namespace renamora
