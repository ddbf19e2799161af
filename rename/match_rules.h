// The "匹配改名" page's rules: the rule file, the Rule list that shows and
// holds the rules, and the template a user fills in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/context.h"
#include "platform/gbk_text.h"

namespace renamora {

inline constexpr const char kRuleFormatMessage[] =
    "文件格式不正确，只支持txt,或csv格式，以','为分隔符";
inline constexpr const char kRuleMalformedMessage[] = "匹配文件不规范，请检查从新提交";
inline constexpr const char kSkipHeaderQuestion[] = "是否跳过表头 ？";

// The malformed message naming the line (counted from 1 in the file, the
// header included) that has fewer than two fields.
std::string ShortLineMessage(std::size_t lineNumber);

// The sample rule file of 按钮11, 203 bytes.
extern const std::string_view kRuleTemplate;

// Whether a dropped path names a rule file: its text after the last "."
// (the whole path when there is none) is "txt" or "csv", lower case only.
bool HasRuleFileExtension(std::string_view path);

// What a rule file says up to its first 00 or 1A byte.
std::string_view RuleFileText(std::string_view bytes);

// Fields 1 and 2 of a line split at every ",": false when the line has
// fewer than two (a trailing "," adds no empty field, an empty line has none).
bool FirstTwoFields(std::string_view line, std::string_view& code, std::string_view& content);

// Whether a rule file's text holds rules, or why it is refused.
enum class RuleVerdict { kRules, kNoDataLine, kShortFirstLine, kShortLaterLine, kStopped };

// Hands the match code and content of every rule of a rule file's text to
// `take(code, content)`, in file order, and tells whether the file holds
// rules: lines end at CR LF, the first is passed over when `skipHeader`, a
// blank line between rules says nothing, and any other line with fewer than
// two fields refuses the file (kShortLaterLine with `shortLine` its number
// in the file, from 1, header included). On a refusing line it stops there,
// after the rules before it; so it does, with kStopped, when `take` returns
// false.
template <typename Take>
RuleVerdict WalkRules(std::string_view ruleText, bool skipHeader, std::size_t& shortLine,
                      Take&& take) {
  std::size_t pos = 0;
  std::size_t number = 0;  // of the line in the file, from 1
  std::string_view line;
  if (skipHeader && text::NextLine(ruleText, pos, line)) ++number;
  bool first = true;
  std::string_view code;
  std::string_view content;
  while (text::NextLine(ruleText, pos, line)) {
    ++number;
    if (!FirstTwoFields(line, code, content)) {
      if (first) return RuleVerdict::kShortFirstLine;
      if (line.empty()) continue;
      // Half a table would rename with rules the user never meant to give,
      // so one broken line refuses the file.
      shortLine = number;
      return RuleVerdict::kShortLaterLine;
    }
    first = false;
    if (!take(code, content)) return RuleVerdict::kStopped;
  }
  return first ? RuleVerdict::kNoDataLine : RuleVerdict::kRules;
}

// Files-dropped event of 拖放对象2: loads the dropped rule file into the Rule
// list and hides the drop prompt 透明标签2; the list ends empty, after a
// message, when the file is refused.
void LoadDroppedRules(Context& ctx, const std::string& dropText);

// 按钮7 "清空匹配": empties the Rule list and shows the drop prompt again.
void ClearRules(Context& ctx);

// 按钮11 "导出模板": writes the template where the save dialog 通用对话框2 says.
void ExportTemplate(Context& ctx);

}  // namespace renamora
