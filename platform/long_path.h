// Paths in the extended-length form ("\\?\D:\…", "\\?\UNC\server\share\…"),
// which Windows takes as they stand: no name loses the dots and blanks at its
// end, and no 260-character limit applies. Both file systems reach the disk
// only by this form, so that every call on a listed name acts on that file
// and no other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace renamora {

// The most characters an extended path may hold, its prefix included (a
// double-byte character counting one, as it is one UTF-16 unit).
constexpr std::size_t kMaxExtendedPath = 32767;

inline constexpr std::string_view kExtendedPrefix = "\\\\?\\";

// `path` in the extended form, into `out` (whose room is used again). A
// path rooted at a drive ("D:\") or a share ("\\server\share") is prefixed,
// with "/" read as "\", doubled separators as one and the names "." and ".."
// resolved as Windows resolves them in a plain path; every other name is
// kept byte for byte. A path already in that form is kept as it is, and so
// is any other (a device, a relative path), which Windows then reads as it
// reads a plain one. False, with `out` empty, when the result would hold
// kMaxExtendedPath characters or more.
bool ToExtendedPath(std::string_view path, std::string& out);

}  // namespace renamora
