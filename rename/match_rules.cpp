#include "rename/match_rules.h"

#include <cstring>
#include <new>

#include "command/save_as.h"
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

namespace {

// The malformed message naming what is wrong with line `lineNumber`.
std::string MalformedLineMessage(std::size_t lineNumber, const char* what) {
  return std::string(kRuleMalformedMessage) + "\r\n第" + std::to_string(lineNumber) + "行" + what;
}

}  // namespace

std::string ShortLineMessage(std::size_t lineNumber) {
  return MalformedLineMessage(lineNumber, "少于两个字段");
}

std::string UnusableCharacterMessage(std::size_t lineNumber) {
  return MalformedLineMessage(lineNumber, "含有无法使用的字符");
}

std::string UnreadableEncodingMessage() {
  return std::string(kRuleMalformedMessage) + "\r\n文件编码无法识别";
}

bool HasRuleFileExtension(std::string_view path) {
  std::string_view extension = SplitAtLastDot(path).extension;
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
  return extension == "txt" || extension == "csv";
}

std::string_view RuleFileText(std::string_view bytes) {
  // No GBK trail byte is 00 or 1A, so a plain byte search is exact. Each of
  // the two is looked for on its own, which the C library does many bytes
  // at a time: the search runs over the whole of a large file.
  if (bytes.empty()) return bytes;
  std::size_t end = bytes.size();
  for (const char mark : {'\0', '\x1A'}) {
    if (const void* at = std::memchr(bytes.data(), mark, end)) {
      end = static_cast<std::size_t>(static_cast<const char*>(at) - bytes.data());
    }
  }
  return bytes.substr(0, end);
}

RuleFileEncoding DetectRuleFileEncoding(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return {true, UnicodeForm::kUtf8, 3};
  if (bytes.substr(0, 2) == "\xFF\xFE") return {true, UnicodeForm::kUtf16Le, 2};
  if (bytes.substr(0, 2) == "\xFE\xFF") return {true, UnicodeForm::kUtf16Be, 2};
  // ASCII reads the same either way. Where the bytes are both, the likelier
  // reading wins and a tie goes to GBK, the program's own: short GBK texts
  // often are valid UTF-8 (小 D0 A1 reads as a Cyrillic letter), and so is
  // the UTF-8 that Notepad saves without a mark ("café" reads as "caf茅").
  const std::string_view text = RuleFileText(bytes);
  if (IsUtf8BeyondAscii(text) && (!text::IsGbk(text) || RuleTextPlausibility(text, true) >
                                                            RuleTextPlausibility(text, false))) {
    return {true, UnicodeForm::kUtf8, 0};
  }
  return {};
}

namespace {

// Unicode text up to its first character 00 or 1A. In UTF-8 those bytes
// are never part of another character; UTF-16 is looked at a code unit at a
// time, as most of its characters hold a 00 byte.
std::string_view UnicodeRuleText(std::string_view text, UnicodeForm form) {
  if (form == UnicodeForm::kUtf8) return RuleFileText(text);
  const std::size_t high = form == UnicodeForm::kUtf16Be ? 0 : 1;
  for (std::size_t pos = 0; pos + 1 < text.size(); pos += 2) {
    const char low = text[pos + 1 - high];
    if (text[pos + high] == '\0' && (low == '\0' || low == '\x1A')) return text.substr(0, pos);
  }
  return text;
}

// The number, from 1, of the line of Unicode text that holds byte `at`.
std::size_t LineAt(std::string_view text, UnicodeForm form, std::size_t at) {
  std::size_t line = 1;
  for (std::size_t end = UnicodeLineEnd(text, form, 0); end <= at && end < text.size();
       end = UnicodeLineEnd(text, form, end)) {
    ++line;
  }
  return line;
}

}  // namespace

bool DecodeRuleFile(CodePage& codePage, std::string& bytes, std::string_view& text,
                    std::string& refusal) {
  const RuleFileEncoding encoding = DetectRuleFileEncoding(bytes);
  if (!encoding.unicode) {
    text = RuleFileText(bytes);
    return true;
  }
  const std::string_view unicode = std::string_view(bytes).substr(encoding.mark);
  // UTF-16 comes in pairs of bytes: a file of odd length is none, whatever
  // its end mark cuts off.
  if (encoding.form != UnicodeForm::kUtf8 && unicode.size() % 2 != 0) {
    refusal = UnreadableEncodingMessage();
    return false;
  }
  // The end mark comes first: what lies after it is ignored, as in every
  // rule file, and so cannot refuse the file either.
  const std::string_view ruleText = UnicodeRuleText(unicode, encoding.form);
  AnsiConversion ansi = codePage.ToAnsi(ruleText, encoding.form);
  switch (ansi.outcome) {
    case AnsiConversion::Outcome::kConverted:
      // No character but 00 and 1A comes out as a byte 00 or 1A, so the
      // converted text ends where the Unicode one did.
      bytes = std::move(ansi.bytes);
      text = bytes;
      return true;
    case AnsiConversion::Outcome::kNotInCodePage:
      refusal = UnusableCharacterMessage(LineAt(ruleText, encoding.form, ansi.at));
      return false;
    default:
      refusal = UnreadableEncodingMessage();
      return false;
  }
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
// message and gives kRefused, or kUnread when it could not be read at all,
// and a check the user stopped gives kRefused too; otherwise `bytes` holds
// the file, `ruleText` the part of it that counts, `skipHeader` the answer
// and `rules` their number.
enum class RuleDrop { kRules, kRefused, kUnread };
RuleDrop AcceptRuleDrop(Context& ctx, const std::string& dropText, std::string& bytes,
                        std::string_view& ruleText, bool& skipHeader, std::size_t& rules) {
  // The whole drop is the path: a folder name may hold a ",". A drop of
  // several files ends in CR LF and so fails the extension test.
  const std::string& path = dropText;
  if (!HasRuleFileExtension(path)) {
    ctx.messages.Show(kRuleFormatMessage, MessageButtons::kOk, kMessageCaption);
    return RuleDrop::kRefused;
  }
  // A file locked by another program, gone since the drop or larger than
  // memory holds is no malformed one: saying so before any question lets
  // the user try again.
  bool read = false;
  try {
    read = ctx.fs.ReadWholeFile(path, bytes).ok;
  } catch (const std::bad_alloc&) {
    bytes.clear();
  }
  if (!read) {
    ctx.messages.Show(kRuleUnreadableMessage + path, MessageButtons::kOk, kMessageCaption);
    return RuleDrop::kUnread;
  }
  // The question and everything after it see the text in GBK; a file that
  // cannot be brought there is refused before it is asked.
  std::string refusal;
  if (!DecodeRuleFile(ctx.codePage, bytes, ruleText, refusal)) {
    ctx.messages.Show(refusal, MessageButtons::kOk, kMessageCaption);
    return RuleDrop::kRefused;
  }
  skipHeader = ctx.messages.Show(kSkipHeaderQuestion, MessageButtons::kOkCancel, kMessageCaption) ==
               MessageAnswer::kOk;
  if (!ctx.progress.AfterBox()) return RuleDrop::kRefused;
  std::size_t shortLine = 0;
  rules = 0;
  // The check walks the whole file before a rule is taken: how far it has
  // come is the rules found so far.
  switch (WalkRules(ruleText, skipHeader, shortLine, [&](std::string_view, std::string_view) {
    return ctx.progress.Step(++rules, 0);
  })) {
    case RuleVerdict::kRules:
      return RuleDrop::kRules;
    case RuleVerdict::kStopped:
      return RuleDrop::kRefused;
    case RuleVerdict::kShortLaterLine:
      ctx.messages.Show(ShortLineMessage(shortLine), MessageButtons::kOk, kMessageCaption);
      return RuleDrop::kRefused;
    default:
      ctx.messages.Show(kRuleMalformedMessage, MessageButtons::kOk, kMessageCaption);
      return RuleDrop::kRefused;
  }
}

}  // namespace

void LoadDroppedRules(Context& ctx, const std::string& dropText) {
  std::string bytes;
  std::string_view ruleText;
  bool skipHeader = false;
  std::size_t rules = 0;
  switch (AcceptRuleDrop(ctx, dropText, bytes, ruleText, skipHeader, rules)) {
    case RuleDrop::kRules:
      break;
    case RuleDrop::kUnread:
      return;  // the rules before stay
    default:
      ctx.ui.超级列表框2.DeleteAllRows();
      return;
  }
  // The rules are built beside the list, which shows either the rules
  // before or these whole.
  std::vector<RuleRow> rows;
  rows.reserve(rules);
  std::size_t unused = 0;
  const RuleVerdict verdict =
      WalkRules(ruleText, skipHeader, unused, [&](std::string_view code, std::string_view content) {
        rows.push_back({std::string(code), std::string(content)});
        return ctx.progress.Step(rows.size(), rules);
      });
  if (verdict == RuleVerdict::kStopped) {
    // Part of a table would rename with rules the user never saw loaded.
    ctx.ui.超级列表框2.DeleteAllRows();
    return;
  }
  rows.swap(ctx.ui.超级列表框2.Rows());
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
