// Any rule file, with either answer to the header question: the loader must
// agree with a plain reading of the format and never show half a table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gbk_text.h"
#include "rename/match_rules.h"
#include "tests/support/memory_app.h"
#include "tests/support/plain_reading.h"

namespace {

using renamora::RuleRow;
namespace text = renamora::text;

// The format read the slow way: lines at CR LF, fields at ",", a trailing
// "," adding no field, empty later lines skipped.
bool PlainReading(std::string_view bytes, bool skipHeader, std::vector<RuleRow>& rules) {
  std::size_t end = bytes.find_first_of(std::string_view("\0\x1a", 2));
  std::string_view textPart = bytes.substr(0, end == std::string_view::npos ? bytes.size() : end);
  auto lines = renamora::testing::PlainLines(textPart);
  std::size_t first = skipHeader && !lines.empty() ? 1 : 0;
  bool any = false;
  for (std::size_t i = first; i < lines.size(); ++i) {
    auto fields = renamora::testing::Pieces(lines[i], ",");
    if (!fields.empty() && fields.back().empty()) fields.pop_back();
    if (lines[i].empty() && i != first) continue;
    if (fields.size() < 2) return false;
    rules.push_back({std::string(fields[0]), std::string(fields[1])});
    any = true;
  }
  return any;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool skipHeader = data[0] & 1;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  renamora::testing::MemoryApp app;
  app.fs.AddFile("D:\\rules.csv", bytes);
  app.messages.Answer(skipHeader ? renamora::MessageAnswer::kOk : renamora::MessageAnswer::kCancel);
  app.DropOnRuleList("D:\\rules.csv");

  std::vector<RuleRow> expected;
  const bool good = PlainReading(bytes, skipHeader, expected);
  const auto& shown = app.rules().Rows();
  if (!good) {
    if (!shown.empty()) std::abort();  // a refused file never leaves rules behind
    return 0;
  }
  if (shown.size() != expected.size()) std::abort();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i].matchCode != expected[i].matchCode || shown[i].content != expected[i].content) {
      std::abort();
    }
  }
  if (app.window.hint("透明标签2").Visible()) std::abort();
  return 0;
}
