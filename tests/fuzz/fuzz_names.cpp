// Name building and matching on any bytes: the built names are what their
// definitions say, the way back undoes only what a rename put in, the fast matcher agrees with a
// plain scan, and the rename guard never lets a separator through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/gbk_text.h"
#include "platform/name_parts.h"
#include "rename/insert_text.h"
#include "rename/match_rename.h"

namespace {

using namespace renamora;

void Check(bool ok) {
  if (!ok) std::abort();
}

bool PlainOccurs(std::string_view name, std::string_view code) {
  if (code.empty()) return !name.empty();
  for (std::size_t i = 0; i + code.size() <= name.size(); i += text::CharLength(name, i)) {
    bool same = true;
    for (std::size_t k = 0, next = 0; k < code.size() && same; ++k) {
      const bool own = k == next && (next += text::CharLength(name, i + k), true);
      same = own ? text::AsciiLower(name[i + k]) == text::AsciiLower(code[k])  // a character
                 : name[i + k] == code[k];                                     // a trail byte
    }
    if (same) return true;
  }
  return false;
}

// The new names as the commands build them, each on its own.
std::string Inserted(std::string_view name, std::string_view t, std::string_view s,
                     InsertPosition position) {
  std::string out;
  AppendInsertedName(out, name, t, s, position);
  return out;
}
std::string Matched(std::string_view name, std::string_view content, std::string_view s2,
                    MatchWay way) {
  std::string out;
  AppendMatchedName(out, name, content, s2, way);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Pieces separated by 00: name, T, S, content, then match codes.
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= input.size(); ++i) {
    if (i == input.size() || input[i] == '\0') {
      pieces.push_back(input.substr(start, i - start));
      start = i + 1;
    }
  }
  while (pieces.size() < 5) pieces.emplace_back();
  const std::string& name = pieces[0];
  const std::string& t = pieces[1];
  const std::string& s = pieces[2];
  const std::string& content = pieces[3];

  const NameParts split = SplitAtLastDot(name);
  const std::string base(split.base);
  const std::string extension(split.extension);
  Check(base + extension == name);
  Check(Inserted(name, t, s, InsertPosition::kBefore) == t + s + name);
  Check(Inserted(name, t, s, InsertPosition::kAfter) == base + s + t + extension);
  Check(Matched(name, content, s, MatchWay::kBefore) == content + s + name);
  Check(Matched(name, content, s, MatchWay::kReplace) == content + extension);
  Check(Matched(name, content, s, MatchWay::kAfter) == base + s + content + extension);

  // The way back takes off only copies of what a rename puts in, where it
  // puts them: inserting them again gives the renamed name back.
  for (const InsertPosition position : {InsertPosition::kBefore, InsertPosition::kAfter}) {
    const std::string renamed = Inserted(name, t, s, position);
    std::string back;
    if (!AppendNameWithoutInserted(back, renamed, InsertedText(t, s, position), position)) {
      Check(back.empty() && !(t + s).empty());
      continue;
    }
    while (back.size() < renamed.size()) back = Inserted(back, t, s, position);
    Check(back == renamed);
  }

  std::vector<RuleRow> rules;
  for (std::size_t i = 4; i < pieces.size(); ++i) rules.push_back({pieces[i], "x"});
  RuleMatcher matcher(rules);
  std::size_t expected = RuleMatcher::kNoRule;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    if (PlainOccurs(name, rules[i].matchCode)) {
      expected = i;
      break;
    }
  }
  Check(matcher.FindRule(name) == expected);

  if (IsAcceptableNewName(name)) {
    for (char c : std::string("\\/:*?\"<>|")) Check(text::FindChar(name, c) == text::npos);
  }
  // A name that ends on a whole character cannot hide a separator after it
  // (a lone lead byte at the end would pair with the "\\" and make one
  // character, as Windows reads it too).
  bool endsWhole = true;
  for (std::size_t i = 0; i < name.size(); i += text::CharLength(name, i)) {
    endsWhole = text::CharLength(name, i) == 2 || !text::IsLeadByte(name[i]);
  }
  if (endsWhole) Check(!IsAcceptableRename("D:\\a\\x", "D:\\a\\" + name + "\\y"));
  return 0;
}
