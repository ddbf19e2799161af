#include "rename/match_rules.h"

#include "app/save_as.h"
#include "platform/gbk_text.h"
#include "platform/name_parts.h"

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
  return std::string(kRuleMalformedMessage) + "\r\n第" + std::to_string(lineNumber) +
         "行少于两个字段";
}

bool HasRuleFileExtension(std::string_view path) {
  std::string_view extension = SplitAtLastDot(path).extension;
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
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

// A rule drop up to its rules: the extension test, the read, the header
// question and the check of every line. A refused file has shown its
// message and gives false, and so does a check the user stopped; otherwise
// `bytes` holds the file, `ruleText` the part of it that counts,
// `skipHeader` the answer and `rules` their number.
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
  // The check walks the whole file before a rule is taken: how far it has
  // come is the rules found so far.
  switch (WalkRules(ruleText, skipHeader, shortLine, [&](std::string_view, std::string_view) {
    return ctx.progress.Step(++rules, 0);
  })) {
    case RuleVerdict::kRules:
      return true;
    case RuleVerdict::kStopped:
      return false;
    case RuleVerdict::kShortLaterLine:
      ctx.messages.Show(ShortLineMessage(shortLine), MessageButtons::kOk, kMessageCaption);
      return false;
    default:
      ctx.messages.Show(kRuleMalformedMessage, MessageButtons::kOk, kMessageCaption);
      return false;
  }
}

}  // namespace

void LoadDroppedRules(Context& ctx, const std::string& dropText) {
  std::string bytes;
  std::string_view ruleText;
  bool skipHeader = false;
  std::size_t rules = 0;
  if (!AcceptRuleDrop(ctx, dropText, bytes, ruleText, skipHeader, rules)) {
    ctx.ui.超级列表框2.DeleteAllRows();
    return;
  }
  // The file has passed every check, so its rules are written straight over
  // the rows they replace: a table of a million rules then needs no second
  // table beside the list, nor fresh memory for it.
  std::vector<RuleRow>& rows = ctx.ui.超级列表框2.Rows();
  rows.reserve(rules);
  std::size_t filled = 0;
  std::size_t unused = 0;
  const RuleVerdict verdict =
      WalkRules(ruleText, skipHeader, unused, [&](std::string_view code, std::string_view content) {
        if (filled < rows.size()) {
          rows[filled].matchCode.assign(code.data(), code.size());
          rows[filled].content.assign(content.data(), content.size());
        } else {
          rows.push_back({std::string(code), std::string(content)});
        }
        return ctx.progress.Step(++filled, rules);
      });
  if (verdict == RuleVerdict::kStopped) {
    // Part of a table would rename with rules the user never saw loaded.
    ctx.ui.超级列表框2.DeleteAllRows();
    return;
  }
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
