#include "rename/match_rules.h"

#include "platform/gbk_text.h"
#include "platform/save_as.h"

namespace renamora {

namespace {

// Line 2 holds a lone LF inside its quoted remark; line 3 a "," inside
// quotes and the full-width “，”. Both are there to show what the format
// does with them.
constexpr char kTemplateBytes[] =
    "匹配代码,加入名字,,备注：\r\n"
    "aaa,333,,\"会查找需要修改的文件名中是否包含这个代码文字\n"
    "有就将加入名字按要求添加进去或者重命名\"\r\n"
    "sss,333,,\"只支持csv,或者文本以“，”分隔的文件\"\r\n"
    "333,520,,\r\n"
    "22,trd,,\r\n"
    "33,rer,,\r\n";

}  // namespace

const std::string_view kRuleTemplate(kTemplateBytes, sizeof(kTemplateBytes) - 1);

std::string ShortLineMessage(std::size_t lineNumber) {
  return std::string(kRuleMalformedMessage) + "\r\n第" + text::Decimal(lineNumber) +
         "行少于两个字段";
}

bool HasRuleFileExtension(std::string_view path) {
  const std::size_t dot = text::FindLastChar(path, '.');
  const std::string_view extension = dot == text::npos ? path : path.substr(dot + 1);
  return extension == "txt" || extension == "csv";
}

std::string_view RuleFileText(std::string_view bytes) {
  // No GBK trail byte is 00 or 1A, so a plain byte search is exact.
  const std::size_t end = bytes.find_first_of(std::string_view("\0\x1A", 2));
  return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

bool FirstTwoFields(std::string_view line, std::string_view& code, std::string_view& content) {
  const std::size_t first = text::FindChar(line, ',');
  // 'abc' and 'abc,' have one field: a "," at the end opens none.
  if (first == text::npos || first + 1 == line.size()) return false;
  code = line.substr(0, first);
  const std::size_t second = text::FindChar(line, ',', first + 1);
  content =
      second == text::npos ? line.substr(first + 1) : line.substr(first + 1, second - first - 1);
  return true;
}

namespace {

// The line of `text` that starts at `pos`, cut where SplitAtCrLf cuts, and
// `pos` moved to the next one; false when no line is left. Lines are taken
// one at a time, so that a file of a million rules needs no list of them.
bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
  if (pos >= text.size()) return false;
  for (std::size_t i = pos; i < text.size(); i += text::CharLength(text, i)) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      line = text.substr(pos, i - pos);
      pos = i + 2;
      return true;
    }
  }
  line = text.substr(pos);
  pos = text.size();
  return true;
}

// Hands the match code and content of every rule of a rule text to `take`,
// in file order, and tells whether the file holds rules; on a line that
// refuses the file it stops there, after the rules before it.
template <typename Take>
RuleParse::Verdict WalkRules(std::string_view text, bool skipHeader, std::size_t& shortLine,
                             Take&& take) {
  std::size_t pos = 0;
  std::size_t number = 0;  // of the line in the file, from 1
  std::string_view line;
  if (skipHeader && NextLine(text, pos, line)) ++number;
  bool first = true;
  std::string_view code;
  std::string_view content;
  while (NextLine(text, pos, line)) {
    ++number;
    if (!FirstTwoFields(line, code, content)) {
      if (first) return RuleParse::Verdict::kShortFirstLine;
      if (line.empty()) continue;  // a blank line between rules says nothing
      // Half a table would rename with rules the user never meant to give,
      // so one broken line refuses the file.
      shortLine = number;
      return RuleParse::Verdict::kShortLaterLine;
    }
    first = false;
    take(code, content);
  }
  return first ? RuleParse::Verdict::kNoDataLine : RuleParse::Verdict::kRules;
}

// A rule drop up to its rules: the extension test, the read, the header
// question and the check of every line. A refused file has shown its
// message and gives false; otherwise `bytes` holds the file, `ruleText` the
// part of it that counts, `skipHeader` the answer and `rules` their number.
bool AcceptRuleDrop(Context& ctx, const std::string& dropText, std::string& bytes,
                    std::string_view& ruleText, bool& skipHeader, std::size_t& rules) {
  // The whole drop is the path: a folder name may hold a ",". A drop of
  // several files ends in CR LF and so fails the extension test.
  const std::string& path = dropText;
  if (!HasRuleFileExtension(path)) {
    ctx.messages.Show(kRuleFormatMessage, MessageButtons::kOk, kMessageCaption);
    return false;
  }
  // A file that cannot be read yields no line and is refused below, like an
  // empty one.
  ctx.fs.ReadWholeFile(path, bytes);
  skipHeader = ctx.messages.Show(kSkipHeaderQuestion, MessageButtons::kOkCancel, kMessageCaption) ==
               MessageAnswer::kOk;
  ruleText = RuleFileText(bytes);
  std::size_t shortLine = 0;
  rules = 0;
  switch (WalkRules(ruleText, skipHeader, shortLine,
                    [&](std::string_view, std::string_view) { ++rules; })) {
    case RuleParse::Verdict::kRules:
      return true;
    case RuleParse::Verdict::kShortLaterLine:
      ctx.messages.Show(ShortLineMessage(shortLine), MessageButtons::kOk, kMessageCaption);
      return false;
    default:
      ctx.messages.Show(kRuleMalformedMessage, MessageButtons::kOk, kMessageCaption);
      return false;
  }
}

}  // namespace

RuleParse ParseRuleText(std::string_view text, bool skipHeader) {
  RuleParse parse;
  parse.verdict = WalkRules(text, skipHeader, parse.shortLine,
                            [&](std::string_view code, std::string_view content) {
                              parse.rules.push_back({std::string(code), std::string(content)});
                            });
  if (parse.verdict != RuleParse::Verdict::kRules) parse.rules.clear();
  return parse;
}

RuleTable LoadRuleFile(Context& ctx, const std::string& dropText) {
  std::string bytes;
  std::string_view ruleText;
  bool skipHeader = false;
  std::size_t rules = 0;
  if (!AcceptRuleDrop(ctx, dropText, bytes, ruleText, skipHeader, rules)) return {};
  RuleParse parse = ParseRuleText(ruleText, skipHeader);
  ctx.ui.透明标签2.SetVisible(false);
  return std::move(parse.rules);
}

void FillRuleList(Context& ctx, RuleTable table) {
  // The table's rows become the list's rows whole: nothing is copied.
  ctx.ui.超级列表框2.Rows() = std::move(table);
}

void LoadDroppedRules(Context& ctx, const std::string& dropText) {
  std::string bytes;
  std::string_view ruleText;
  bool skipHeader = false;
  std::size_t rules = 0;
  if (!AcceptRuleDrop(ctx, dropText, bytes, ruleText, skipHeader, rules)) {
    FillRuleList(ctx, {});
    return;
  }
  // The file has passed every check, so its rules are written straight over
  // the rows they replace: a table of a million rules then needs no second
  // table beside the list, nor fresh memory for it.
  std::vector<RuleRow>& rows = ctx.ui.超级列表框2.Rows();
  rows.reserve(rules);
  std::size_t filled = 0;
  std::size_t unused = 0;
  WalkRules(ruleText, skipHeader, unused, [&](std::string_view code, std::string_view content) {
    if (filled < rows.size()) {
      rows[filled].matchCode.assign(code.data(), code.size());
      rows[filled].content.assign(content.data(), content.size());
    } else {
      rows.push_back({std::string(code), std::string(content)});
    }
    ++filled;
  });
  rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(filled), rows.end());
  // Storage far beyond what the new rules need is given back.
  if (rows.capacity() / 2 > rows.size()) rows.shrink_to_fit();
  ctx.ui.透明标签2.SetVisible(false);
}

void ClearRules(Context& ctx) {
  ctx.ui.透明标签2.SetVisible(true);
  ctx.ui.透明标签2.Redraw();
  ctx.ui.超级列表框2.DeleteAllRows();
}

void ExportTemplate(Context& ctx) {
  SaveAs(ctx, ctx.ui.通用对话框2, kRuleTemplate);
}

}  // namespace renamora
