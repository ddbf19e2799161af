// The names both benchmarks give their files and rules, so that the native
// and the Win32 figures are measured on the same kind of tree.
#pragma once

#include <cstddef>
#include <string>

namespace renamora::bench {

// The content every benchmark rule inserts.
inline constexpr char kRuleContent[] = "新品";

inline std::string ZeroPadded(std::size_t n, int digits) {
  std::string s = std::to_string(n);
  if (s.size() < static_cast<std::size_t>(digits)) s.insert(0, digits - s.size(), '0');
  return s;
}

inline int DigitsOf(std::size_t powerOfTen) {
  int digits = 0;
  for (std::size_t n = powerOfTen; n > 1; n /= 10) ++digits;
  return digits;
}

// Every file name holds a product code "K" and four digits. A table of
// 10^k rules holds the codes "K" + k digits, so whatever the number of rules
// each file matches exactly one of them, and the matching rules lie all
// over the table.
inline std::string FileName(std::size_t row) {
  return "产品照片_K" + ZeroPadded(row % 10000, 4) + "_第" + ZeroPadded(row, 7) + "张.jpg";
}

// A rule file of `rules` rules (a power of ten) under a header line.
inline std::string RuleFileBytes(std::size_t rules) {
  const int digits = DigitsOf(rules);
  std::string bytes = "匹配代码,插入内容\r\n";
  bytes.reserve(bytes.size() + rules * (digits + 8));
  for (std::size_t i = 0; i < rules; ++i) {
    bytes.append("K").append(ZeroPadded(i, digits)).append(",").append(kRuleContent).append("\r\n");
  }
  return bytes;
}

}  // namespace renamora::bench
