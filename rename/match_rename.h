// The "匹配改名" page's renaming: every listed file whose name holds a rule's
// match code gets that rule's content before or after its name or in place
// of it, optionally with a numbered suffix when the name is taken; and the
// way back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command/context.h"

namespace renamora {

enum class MatchWay { kBefore, kAfter, kReplace };

inline constexpr const char kNoRulesMessage[] = "无匹配规则！";
inline constexpr const char kAvoidanceQuestion[] =
    "1.是否开启修改文件名重复去错\r\n2.开启后重复名自动添加尾缀，未开启直接跳过修改";

// Appends the new name to `out`. Before: content + separator + name.
// Replace: content + extension. After: base + separator + content +
// extension. A name without "." is all extension.
void AppendMatchedName(std::string& out, std::string_view name, std::string_view content,
                       std::string_view separator, MatchWay way);

// The match test over a whole Rule list at once. A code occurs in a name
// when its bytes stand in the name from a position that starts a character,
// ASCII letters compared without case where they are characters of their
// own (a trail byte is compared as it is); an empty code
// occurs in every non-empty name. Built once per command, it finds the
// first rule of thousands without trying them one by one: the folded codes
// form one automaton that reads the name once.
class RuleMatcher {
 public:
  static constexpr std::size_t kNoRule = static_cast<std::size_t>(-1);

  explicit RuleMatcher(const std::vector<RuleRow>& rules);

  // The index of the first rule, in list order, whose code occurs in the
  // name; kNoRule when there is none.
  std::size_t FindRule(std::string_view name);

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Node {
    std::uint32_t edgeBegin = 0;     // this node's edges in edgeByte_/edgeTarget_,
    std::uint32_t edgeEnd = 0;       // sorted by byte
    std::uint32_t fail = 0;          // longest proper suffix that is in the trie
    std::uint32_t output = kNone;    // nearest code end along the fail chain
    std::uint32_t rule = kNone;      // first rule whose code ends here
    std::uint32_t chainMin = kNone;  // lowest rule here or along the fail chain
    std::uint32_t depth = 0;
  };
  std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
  std::uint32_t Next(std::uint32_t node, unsigned char byte) const;

  std::vector<Node> nodes_;
  std::array<std::uint32_t, 256> rootChild_;
  std::vector<unsigned char> edgeByte_;
  std::vector<std::uint32_t> edgeTarget_;
  std::uint32_t emptyRule_ = kNone;
  std::vector<unsigned char> starts_;  // per name: which bytes start a character
};

// 按钮4 "修  改": renames every listed file by the first rule that matches it
// and shows the counts in 标签6 and 标签7. Shows "无匹配规则！" and does
// nothing else while the Rule list is empty.
void MatchRename(Context& ctx);

// 按钮5 "还  原": renames every listed file back to "原名", or, where the row
// shows one name in both columns, takes the matching rule's content off it.
void MatchRestore(Context& ctx);

}  // namespace renamora
