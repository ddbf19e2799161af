#include "rename/match_rules.h"

#include "platform/gbk_text.h"

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

RuleParse ParseRuleText(std::string_view text, bool skipHeader) {
  RuleParse parse;
  const std::vector<std::string_view> lines = text::SplitAtCrLf(text);
  const std::size_t firstData = skipHeader && !lines.empty() ? 1 : 0;
  if (firstData >= lines.size()) {
    parse.verdict = RuleParse::Verdict::kNoDataLine;
    return parse;
  }
  parse.rules.reserve(lines.size() - firstData);
  std::string_view code;
  std::string_view content;
  for (std::size_t i = firstData; i < lines.size(); ++i) {
    if (!FirstTwoFields(lines[i], code, content)) {
      if (i == firstData) {
        parse.verdict = RuleParse::Verdict::kShortFirstLine;
      } else if (lines[i].empty()) {
        continue;  // a blank line between rules says nothing
      } else {
        // Half a table would rename with rules the user never meant to
        // give, so one broken line refuses the file.
        parse.verdict = RuleParse::Verdict::kShortLaterLine;
        parse.shortLine = i + 1;
      }
      parse.rules.clear();
      return parse;
    }
    parse.rules.push_back({std::string(code), std::string(content)});
  }
  parse.verdict = RuleParse::Verdict::kRules;
  return parse;
}

RuleTable LoadRuleFile(Context& ctx, const std::string& dropText) {
  // The whole drop is the path: a folder name may hold a ",". A drop of
  // several files ends in CR LF and so fails the extension test.
  const std::string& path = dropText;
  if (!HasRuleFileExtension(path)) {
    ctx.messages.Show(kRuleFormatMessage, MessageButtons::kOk, kMessageCaption);
    return {};
  }
  std::string bytes;
  // A file that cannot be read yields no line and is refused below, like an
  // empty one.
  ctx.fs.ReadWholeFile(path, bytes);
  const bool skipHeader = ctx.messages.Show(kSkipHeaderQuestion, MessageButtons::kOkCancel,
                                            kMessageCaption) == MessageAnswer::kOk;
  RuleParse parse = ParseRuleText(RuleFileText(bytes), skipHeader);
  switch (parse.verdict) {
    case RuleParse::Verdict::kRules:
      break;
    case RuleParse::Verdict::kShortLaterLine:
      ctx.messages.Show(ShortLineMessage(parse.shortLine), MessageButtons::kOk, kMessageCaption);
      return {};
    default:
      ctx.messages.Show(kRuleMalformedMessage, MessageButtons::kOk, kMessageCaption);
      return {};
  }
  ctx.ui.透明标签2.SetVisible(false);
  return std::move(parse.rules);
}

void FillRuleList(Context& ctx, RuleTable table) {
  // The table's rows become the list's rows whole: nothing is copied.
  ctx.ui.超级列表框2.Rows() = std::move(table);
}

void LoadDroppedRules(Context& ctx, const std::string& dropText) {
  FillRuleList(ctx, LoadRuleFile(ctx, dropText));
}

void ClearRules(Context& ctx) {
  ctx.ui.透明标签2.SetVisible(true);
  ctx.ui.透明标签2.Redraw();
  ctx.ui.超级列表框2.DeleteAllRows();
}

void ExportTemplate(Context& ctx) {
  SaveDialog& dialog = ctx.ui.通用对话框2;
  dialog.SetInitialFolder(ctx.fs.DesktopFolder());
  if (!dialog.Show()) return;
  const std::string path = dialog.FileName();
  if (!ctx.fs.WriteWholeFile(path, kRuleTemplate)) {
    ctx.messages.Show(WriteFailedMessage(path), MessageButtons::kOk, kMessageCaption);
  }
}

}  // namespace renamora
