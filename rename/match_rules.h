// The "匹配改名" page's rules: the rule file, the Rule list that shows and
// holds the rules, and the template a user fills in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "command/context.h"
#include "platform/code_page.h"
#include "platform/gbk_text.h"

namespace renamora {

inline constexpr const char kRuleFormatMessage[] =
    "文件格式不正确，只支持txt,或csv格式，以','为分隔符";
inline constexpr const char kRuleMalformedMessage[] = "匹配文件不规范，请检查从新提交";
inline constexpr const char kSkipHeaderQuestion[] = "是否跳过表头 ？";
// Followed by the path of a rule file that cannot be read at all.
inline constexpr const char kRuleUnreadableMessage[] = "规则文件无法读取：";

// The malformed message naming the line (counted from 1 in the file, the
// header included) that has fewer than two fields.
std::string ShortLineMessage(std::size_t lineNumber);
// The same naming the line, counted alike, that holds a character the ANSI
// code page cannot hold; and the one for a Unicode file whose bytes are no
// text of its encoding.
std::string UnusableCharacterMessage(std::size_t lineNumber);
std::string UnreadableEncodingMessage();

// The sample rule file of 按钮11, 203 bytes.
extern const std::string_view kRuleTemplate;

// Whether a dropped path names a rule file: its text after the last "."
// (the whole path when there is none) is "txt" or "csv", lower case only.
bool HasRuleFileExtension(std::string_view path);

// What a rule file says up to its first 00 or 1A byte.
std::string_view RuleFileText(std::string_view bytes);

// How a rule file is written: after a byte-order mark (EF BB BF, FF FE,
// FE FF) as that says; without one, UTF-8 when its text is strict UTF-8
// with at least one character beyond ASCII and either is no GBK or reads
// likelier as UTF-8 (RuleTextPlausibility); otherwise in the ANSI code page,
// byte for byte, as every file that is neither was always read.
struct RuleFileEncoding {
  bool unicode = false;
  UnicodeForm form = UnicodeForm::kUtf8;
  std::size_t mark = 0;  // bytes of the byte-order mark
};
RuleFileEncoding DetectRuleFileEncoding(std::string_view bytes);

// Brings the bytes of a rule file into the ANSI code page and cuts its text
// at the first 00 or 1A character: `text` then views `bytes`, which a
// conversion replaces. False, with the message that refuses the file in
// `refusal`, when a character cannot be read or held: a file is used whole
// or not at all.
bool DecodeRuleFile(CodePage& codePage, std::string& bytes, std::string_view& text,
                    std::string& refusal);

// Fields 1 and 2 of a line split at every ",": false when the line has
// fewer than two (a trailing "," adds no empty field, an empty line has none).
bool FirstTwoFields(std::string_view line, std::string_view& code, std::string_view& content);

// Whether a rule file's text holds rules, or why it is refused.
enum class RuleVerdict { kRules, kNoDataLine, kShortFirstLine, kShortLaterLine, kStopped };

// Hands the match code and content of every rule of a rule file's text to
// `take(code, content)`, in file order, and tells whether the file holds
// rules: lines end at CR LF, the first is passed over when `skipHeader`, a
// blank line between rules says nothing (nor does one of commas and blanks
// alone, which a spreadsheet writes for an empty row), and any other line
// with fewer than two fields refuses the file (kShortLaterLine with
// `shortLine` its number in the file, from 1, header included). On a refusing line it stops there,
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
    // No trail byte is a "," or a blank, so a byte test is exact.
    const bool blank = line.find_first_not_of(", \t") == std::string_view::npos;
    if (blank || !FirstTwoFields(line, code, content)) {
      if (first) return RuleVerdict::kShortFirstLine;
      if (blank) continue;
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
