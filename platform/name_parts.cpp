#include "platform/name_parts.h"

#include "platform/gbk_text.h"

namespace renamora {

NameParts SplitAtLastDot(std::string_view name) {
  const std::size_t dot = text::FindLastChar(name, '.');
  const std::size_t baseLength = dot == text::npos ? 0 : dot;
  return {name.substr(0, baseLength), name.substr(baseLength)};
}

PathParts SplitAtLastBackslash(std::string_view path) {
  const std::size_t slash = text::FindLastChar(path, '\\');
  const std::size_t nameStart = slash == text::npos ? 0 : slash + 1;
  return {path.substr(0, nameStart), path.substr(nameStart)};
}

std::string_view WithoutTrailingDotsAndBlanks(std::string_view name) {
  while (!name.empty()) {
    const char last = name.back();
    // Neither byte is ever a trail byte, but a lone lead byte before one
    // takes it along, as every scan here reads it.
    if ((last != '.' && last != ' ') || !text::EndsWithChar(name, last)) break;
    name.remove_suffix(1);
  }
  return name;
}

}  // namespace renamora
