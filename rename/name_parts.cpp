#include "rename/name_parts.h"

#include "platform/gbk_text.h"

namespace renamora {

NameParts SplitAtLastDot(std::string_view name) {
  const std::size_t dot = text::FindLastChar(name, '.');
  if (dot == text::npos) return {std::string(), std::string(name)};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot))};
}

std::string RemoveEvery(std::string_view name, std::string_view cut) {
  if (cut.empty()) return std::string(name);
  std::string result;
  result.reserve(name.size());
  std::size_t pos = 0;
  while (pos < name.size()) {
    const std::size_t found = text::FindText(name, cut, pos);
    if (found == text::npos) break;
    result.append(name, pos, found - pos);
    pos = found + cut.size();
  }
  result.append(name.substr(pos < name.size() ? pos : name.size()));
  return result;
}

}  // namespace renamora
