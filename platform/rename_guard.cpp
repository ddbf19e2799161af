#include "platform/file_system.h"
#include "platform/gbk_text.h"
#include "platform/long_path.h"
#include "platform/name_parts.h"

namespace renamora {

namespace {

// Whether Windows 7 and 10 take the name for a device, in whatever folder
// it stands: the part before its first "." (once the dots and blanks at
// the end are dropped, and the blanks before that ".") is CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, CONIN$ or CONOUT$, in any case. A rename
// to such a name would hand the file to the device.
bool NamesADevice(std::string_view name) {
  // Every device's name starts with one of these letters: most names are
  // out at once, and the guard runs before every rename.
  switch (name.empty() ? '\0' : text::AsciiLower(name[0])) {
    case 'a':
    case 'c':
    case 'l':
    case 'n':
    case 'p':
      break;
    default:
      return false;
  }
  name = WithoutTrailingDotsAndBlanks(name);
  std::string_view stem = name.substr(0, text::FindChar(name, '.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  if (stem.size() < 3 || stem.size() > 7) return false;
  char folded[7];
  for (std::size_t i = 0; i < stem.size(); ++i) folded[i] = text::AsciiLower(stem[i]);
  const std::string_view s(folded, stem.size());
  if (s == "con" || s == "prn" || s == "aux" || s == "nul" || s == "conin$" || s == "conout$") {
    return true;
  }
  return s.size() == 4 && (s.substr(0, 3) == "com" || s.substr(0, 3) == "lpt") && s[3] >= '1' &&
         s[3] <= '9';
}

}  // namespace

bool IsAcceptableNewName(std::string_view name) {
  if (name.empty()) return false;
  bool onlyDotsAndBlanks = true;
  for (std::size_t i = 0; i < name.size(); i += text::CharLength(name, i)) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x80) {
      onlyDotsAndBlanks = false;
      continue;  // a double-byte character, a lone lead byte at the end, 0x80 or 0xFF
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
  return !onlyDotsAndBlanks && !NamesADevice(name);
}

std::size_t CharacterCount(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); i += text::CharLength(s, i)) ++count;
  return count;
}

bool IsAcceptableRename(std::string_view from, std::string_view to) {
  if (CharacterCount(to) >= kMaxExtendedPath) return false;
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
