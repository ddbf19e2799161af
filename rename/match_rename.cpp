#include "rename/match_rename.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "filelist/file_loading.h"
#include "platform/gbk_text.h"
#include "platform/name_parts.h"
#include "rename/insert_text.h"
#include "rename/row_rename.h"

namespace renamora {

namespace {

// Before and after, the rule's content goes into the name as a text of the
// "常规改名" page does, with S2 as its separator.
InsertPosition AsInsertPosition(MatchWay way) {
  return way == MatchWay::kBefore ? InsertPosition::kBefore : InsertPosition::kAfter;
}

unsigned char Fold(char c) {
  return static_cast<unsigned char>(text::AsciiLower(c));
}

MatchWay WayOnPage(const Context& ctx) {
  if (ctx.ui.单选框3.IsChecked()) return MatchWay::kBefore;
  if (ctx.ui.单选框7.IsChecked()) return MatchWay::kReplace;
  return MatchWay::kAfter;
}

void ShowCounts(Context& ctx, std::size_t succeeded, std::size_t rows) {
  ctx.ui.标签6.SetCaption("成功" + std::to_string(succeeded) + "个");
  ctx.ui.标签7.SetCaption("失败" + std::to_string(rows - succeeded) + "个");
}

}  // namespace

void AppendMatchedName(std::string& out, std::string_view name, std::string_view content,
                       std::string_view separator, MatchWay way) {
  if (way == MatchWay::kReplace) {
    out.append(content).append(SplitAtLastDot(name).extension);
  } else {
    AppendInsertedName(out, name, content, separator, AsInsertPosition(way));
  }
}

RuleMatcher::RuleMatcher(const std::vector<RuleRow>& rules) {
  rootChild_.fill(kNone);
  nodes_.emplace_back();
  // The trie of the folded codes. Edges are gathered by (node, byte) first
  // and laid out per node afterwards.
  std::unordered_map<std::uint64_t, std::uint32_t> edges;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const std::uint32_t rule = static_cast<std::uint32_t>(std::min<std::size_t>(i, kNone - 1));
    const std::string& code = rules[i].matchCode;
    if (code.empty()) {
      emptyRule_ = std::min(emptyRule_, rule);
      continue;
    }
    std::uint32_t node = 0;
    std::size_t next = 0;  // where the code's next character starts
    for (std::size_t at = 0; at < code.size(); ++at) {
      // A trail byte keeps its case: 說 and 誇 differ only there.
      const bool starts = at == next;
      if (starts) next += text::CharLength(code, at);
      const unsigned char byte = starts ? Fold(code[at]) : static_cast<unsigned char>(code[at]);
      const std::uint64_t key = (std::uint64_t{node} << 8) | byte;
      auto found = edges.find(key);
      if (found == edges.end()) {
        const auto child = static_cast<std::uint32_t>(nodes_.size());
        nodes_.emplace_back();
        nodes_.back().depth = nodes_[node].depth + 1;
        found = edges.emplace(key, child).first;
      }
      node = found->second;
    }
    // Rules are taken in list order, so the first to end here is the lowest.
    nodes_[node].rule = std::min(nodes_[node].rule, rule);
  }

  // Each node's edges side by side, sorted by byte.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> sorted(edges.begin(), edges.end());
  std::sort(sorted.begin(), sorted.end());
  edgeByte_.reserve(sorted.size());
  edgeTarget_.reserve(sorted.size());
  for (std::size_t e = 0; e < sorted.size(); ++e) {
    const auto parent = static_cast<std::uint32_t>(sorted[e].first >> 8);
    const auto byte = static_cast<unsigned char>(sorted[e].first & 0xFF);
    if (parent == 0) rootChild_[byte] = sorted[e].second;
    if (e == 0 || (sorted[e - 1].first >> 8) != parent) {
      nodes_[parent].edgeBegin = static_cast<std::uint32_t>(e);
    }
    nodes_[parent].edgeEnd = static_cast<std::uint32_t>(e + 1);
    edgeByte_.push_back(byte);
    edgeTarget_.push_back(sorted[e].second);
  }

  // Fail links breadth first: a node's fail target is shallower, so it is
  // complete when the node is reached.
  std::vector<std::uint32_t> order;
  order.reserve(nodes_.size());
  order.push_back(0);
  nodes_[0].chainMin = nodes_[0].rule;
  for (std::size_t k = 0; k < order.size(); ++k) {
    const std::uint32_t parent = order[k];
    for (std::uint32_t e = nodes_[parent].edgeBegin; e < nodes_[parent].edgeEnd; ++e) {
      const unsigned char byte = edgeByte_[e];
      const std::uint32_t child = edgeTarget_[e];
      std::uint32_t fail = 0;
      if (parent != 0) {
        for (std::uint32_t f = nodes_[parent].fail;; f = nodes_[f].fail) {
          const std::uint32_t next = Child(f, byte);
          if (next != kNone) {
            fail = next;
            break;
          }
          if (f == 0) break;
        }
      }
      Node& node = nodes_[child];
      node.fail = fail;
      node.output = nodes_[fail].rule != kNone ? fail : nodes_[fail].output;
      node.chainMin = std::min(node.rule, nodes_[fail].chainMin);
      order.push_back(child);
    }
  }
}

std::uint32_t RuleMatcher::Child(std::uint32_t node, unsigned char byte) const {
  if (node == 0) return rootChild_[byte];
  const Node& n = nodes_[node];
  const unsigned char* begin = edgeByte_.data() + n.edgeBegin;
  const unsigned char* end = edgeByte_.data() + n.edgeEnd;
  const unsigned char* at =
      end - begin <= 8 ? std::find(begin, end, byte) : std::lower_bound(begin, end, byte);
  return at != end && *at == byte ? edgeTarget_[at - edgeByte_.data()] : kNone;
}

std::uint32_t RuleMatcher::Next(std::uint32_t node, unsigned char byte) const {
  for (;;) {
    const std::uint32_t next = Child(node, byte);
    if (next != kNone) return next;
    if (node == 0) return 0;
    node = nodes_[node].fail;
  }
}

std::size_t RuleMatcher::FindRule(std::string_view name) {
  std::uint32_t best = name.empty() ? kNone : emptyRule_;
  if (best != 0 && nodes_.size() > 1 && !name.empty()) {
    // Only a byte that is a character of its own is folded, and a match
    // must start where a character starts.
    starts_.assign(name.size(), 0);
    for (std::size_t i = 0; i < name.size(); i += text::CharLength(name, i)) starts_[i] = 1;
    std::uint32_t state = 0;
    for (std::size_t end = 0; end < name.size(); ++end) {
      state = Next(state, starts_[end] ? Fold(name[end]) : static_cast<unsigned char>(name[end]));
      if (nodes_[state].chainMin >= best) continue;
      std::uint32_t hit = nodes_[state].rule != kNone ? state : nodes_[state].output;
      for (; hit != kNone && nodes_[hit].chainMin < best; hit = nodes_[hit].output) {
        const Node& node = nodes_[hit];
        if (node.rule < best && starts_[end + 1 - node.depth]) best = node.rule;
      }
      if (best == 0) break;
    }
  }
  return best == kNone ? kNoRule : best;
}

void MatchRename(Context& ctx) {
  const RuleList& rules = ctx.ui.超级列表框2;
  if (rules.RowCount() == 0) {
    ctx.messages.Show(kNoRulesMessage, MessageButtons::kOk, kMessageCaption);
    return;
  }
  const MatchWay way = WayOnPage(ctx);
  std::string separator;
  if (!ReadUsableText(ctx.ui.组合框2, ctx.messages, kSeparatorLabel, separator)) return;
  bool avoid = false;
  if (way == MatchWay::kReplace) {
    avoid = ctx.messages.Show(kAvoidanceQuestion, MessageButtons::kYesNo, kMessageCaption) ==
            MessageAnswer::kYes;
    if (!ctx.progress.AfterBox()) return;
  }
  RuleMatcher matcher(rules.Rows());
  FileList& rows = ctx.ui.超级列表框1;
  const std::size_t count = rows.RowCount();
  std::string from;
  std::string to;
  std::string suffixed;
  // Renames row r; its status tells how that went.
  auto renameRow = [&](std::size_t r) {
    const std::size_t rule = matcher.FindRule(rows.CurrentName(r));
    if (rule == RuleMatcher::kNoRule) {
      rows.SetStatus(r, Status::kNoCode);
      return;
    }
    const std::string& content = rules[rule].content;
    from.assign(rows.Folder(r)).append(rows.CurrentName(r));
    to.assign(rows.Folder(r));
    AppendMatchedName(to, rows.CurrentName(r), content, separator, way);
    if (RenameRowFile(ctx.fs, rows, r, from, to)) {
      rows.SetStatus(r, Status::kSucceeded);
      return;
    }
    const NameParts built = SplitAtLastDot(std::string_view(to).substr(rows.Folder(r).size()));
    // Only a name that is the content itself plus an extension can collide
    // with a sibling's: the way replace. Its one second try is numbered by
    // the row.
    if (avoid && built.base == content) {
      suffixed.assign(rows.Folder(r))
          .append(built.base)
          .append("_")
          .append(std::to_string(r + 1))
          .append(built.extension);
      if (RenameRowFile(ctx.fs, rows, r, from, suffixed)) {
        rows.SetStatus(r, Status::kSucceededWithSuffix);
        return;
      }
    }
    rows.SetStatus(r, Status::kFailed);
  };
  std::size_t succeeded = 0;
  std::size_t reached = 0;
  while (reached < count) {
    const std::size_t r = reached++;
    renameRow(r);
    if (rows.StatusOf(r) == Status::kSucceeded ||
        rows.StatusOf(r) == Status::kSucceededWithSuffix) {
      ++succeeded;
    }
    if (!ctx.progress.Step(reached, count)) break;
  }
  // A stopped run counts the rows it reached.
  ShowCounts(ctx, succeeded, reached);
  RefitFileListColumns(ctx);
}

void MatchRestore(Context& ctx) {
  const RuleList& rules = ctx.ui.超级列表框2;
  const MatchWay way = WayOnPage(ctx);
  std::string separator;
  if (!ReadUsableText(ctx.ui.组合框2, ctx.messages, kSeparatorLabel, separator)) return;
  std::optional<RuleMatcher> matcher;  // only rows with one name in both columns need it
  FileList& rows = ctx.ui.超级列表框1;
  const RestoreCount restored =
      RestoreRows(ctx.fs, rows, ctx.progress, [&](std::string_view currentName, std::string& to) {
        // Without rules nothing tells what was inserted, and a replaced
        // name keeps nothing of the name before.
        if (rules.RowCount() == 0 || way == MatchWay::kReplace) return WayBack::kLeave;
        if (!matcher) matcher.emplace(rules.Rows());
        const std::size_t rule = matcher->FindRule(currentName);
        // Nor does a name that no rule's code is in: its row fails.
        if (rule == RuleMatcher::kNoRule) return WayBack::kFail;
        const InsertPosition position = AsInsertPosition(way);
        return AppendNameWithoutInserted(to, currentName,
                                         InsertedText(rules[rule].content, separator, position),
                                         position)
                   ? WayBack::kRename
                   : WayBack::kLeave;
      });
  RefitFileListColumns(ctx);
  ShowCounts(ctx, restored.back, restored.reached);
}

}  // namespace renamora
