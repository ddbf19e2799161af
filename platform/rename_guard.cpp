#include "platform/file_system.h"
#include "platform/gbk_text.h"
#include "platform/name_parts.h"

namespace renamora {

bool IsAcceptableNewName(std::string_view name) {
  if (name.empty()) return false;
  bool onlyDotsAndBlanks = true;
  for (std::size_t i = 0; i < name.size(); i += text::CharLength(name, i)) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x80) {
      onlyDotsAndBlanks = false;
      continue;  // a double-byte character, or a lone lead byte at the end
    }
    if (c < 0x20) return false;
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '<':
      case '>':
      case '"':
      case '|':
      case '?':
      case '*':
        return false;
      case '.':
      case ' ':
        break;
      default:
        onlyDotsAndBlanks = false;
    }
  }
  return !onlyDotsAndBlanks;
}

std::size_t CharacterCount(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); i += text::CharLength(s, i)) ++count;
  return count;
}

bool IsAcceptableRename(std::string_view from, std::string_view to) {
  if (CharacterCount(to) >= kMaxPath) return false;
  const PathParts source = SplitAtLastBackslash(from);
  // Windows takes a "/" for a separator as well: a source whose name holds
  // one lies deeper than the folder its last "\" names, and a target there
  // would move it out of its own. No GBK trail byte is "/", so a plain
  // byte search is exact.
  if (source.name.find('/') != std::string_view::npos) return false;
  const std::string_view folder = source.folder;
  if (to.substr(0, folder.size()) != folder) return false;
  // The folder prefix ends on a real backslash (or is empty), so the rest
  // starts a character and is the whole new name.
  const std::string_view name = to.substr(folder.size());
  return CharacterCount(name) <= kMaxNameLength && IsAcceptableNewName(name);
}

}  // namespace renamora
