#include "platform/long_path.h"

#include "platform/file_system.h"
#include "platform/gbk_text.h"

namespace renamora {

namespace {

// Neither byte is ever a trail byte: a plain byte test finds them.
bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The end of the name that starts at `from`: the next real separator, or
// the end of `path`.
std::size_t NameEnd(std::string_view path, std::size_t from) {
  while (from < path.size() && !IsSeparator(path[from])) from += text::CharLength(path, from);
  return from;
}

// Appends the names of `rest` to `out`, which holds the root with its "\"
// (`rootSize` bytes): "." dropped, ".." taking the name before it along
// (never the root), empty names between doubled separators left out.
void AppendNames(std::string_view rest, std::size_t rootSize, std::string& out) {
  for (std::size_t start = 0; start < rest.size();) {
    const std::size_t end = NameEnd(rest, start);
    const std::string_view name = rest.substr(start, end - start);
    if (name == "..") {
      if (out.size() > rootSize) {
        out.pop_back();
        out.resize(text::FindLastChar(out, '\\') + 1);
      }
    } else if (!name.empty() && name != ".") {
      out.append(name).push_back('\\');
    }
    start = end + 1;
  }
  // A path that named a folder with its "\" keeps it; any other loses the
  // one appended after its last name.
  const bool endsWithSeparator = !rest.empty() && IsSeparator(rest.back()) &&
                                 text::FindLastChar(rest, rest.back()) == rest.size() - 1;
  if (!endsWithSeparator && out.size() > rootSize) out.pop_back();
}

}  // namespace

bool ToExtendedPath(std::string_view path, std::string& out) {
  out.clear();
  if (path.substr(0, kExtendedPrefix.size()) == kExtendedPrefix) {
    out.assign(path.data(), path.size());
  } else if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
    out.reserve(path.size() + kExtendedPrefix.size());
    out.append(kExtendedPrefix).append(path.substr(0, 2)).push_back('\\');
    AppendNames(path.substr(3), out.size(), out);
  } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
             !(path.size() >= 3 && (path[2] == '.' || path[2] == '?'))) {
    // \\server\share\…: both names must be there, else Windows reads the
    // path as it stands.
    const std::size_t serverEnd = NameEnd(path, 2);
    const std::size_t shareEnd = serverEnd < path.size() ? NameEnd(path, serverEnd + 1) : serverEnd;
    if (serverEnd == 2 || shareEnd <= serverEnd + 1) {
      out.assign(path.data(), path.size());
    } else {
      out.reserve(path.size() + 8);
      out.append(kExtendedPrefix).append("UNC\\").append(path.substr(2, serverEnd - 2));
      out.push_back('\\');
      out.append(path.substr(serverEnd + 1, shareEnd - serverEnd - 1)).push_back('\\');
      const std::size_t rootSize = out.size();
      if (shareEnd < path.size()) {
        AppendNames(path.substr(shareEnd + 1), rootSize, out);
      } else {
        out.pop_back();  // "\\server\share" names the share without a "\"
      }
    }
  } else {
    out.assign(path.data(), path.size());
  }
  if (CharacterCount(out) >= kMaxExtendedPath) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace renamora
