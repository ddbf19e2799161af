// The file-system operations the commands rely on. Paths are GBK byte strings
// with the backslash as separator, and each names exactly what it spells: a
// name keeps the dots and blanks at its end, and a path may be as long as the
// extended-length form allows (see long_path.h), whatever its depth.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace renamora {

// The attributes the program looks at, with their Windows values; every
// other attribute is dropped before a caller sees it.
namespace attr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
// A junction or symbolic link: a folder that is one may lead anywhere, its
// own parent included.
constexpr std::uint32_t kReparsePoint = 0x400;
// Every attribute a walk decides by: whether an entry is a folder, whether
// a folder is hidden or system (not walked), read-only or archive (walked),
// or a link (never followed). The rest (compressed, offline, indexed and
// the like) says nothing about which files to list.
constexpr std::uint32_t kKept =
    kReadOnly | kHidden | kSystem | kDirectory | kArchive | kReparsePoint;
}  // namespace attr

struct FolderEntry {
  std::string name;          // the bare long name
  std::uint32_t attributes;  // of the kept ones only; 0 for a file that carries none
};

// One open enumeration; closing it is the destructor's job.
class FolderEnumeration {
 public:
  virtual ~FolderEnumeration() = default;
  // The next entry, whatever its attributes ("." and ".." included); false
  // when there is none left.
  virtual bool Next(FolderEntry& entry) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Renames `from` to `to` in place, never by a copy and a delete, each
  // name taken as it stands (a caller that wants a new name as Windows
  // would store it from a plain path trims it first). Never replaces:
  // fails, changing nothing, when `to` exists (a case-only change of the
  // same file is allowed), when `from` does not, on denied access, and when
  // `to` would leave the folder of `from` or names nothing a file can be
  // called (see IsAcceptableNewName).
  virtual OpResult RenameFile(const std::string& from, const std::string& to) = 0;

  // The entry's attributes restricted to the kept ones, or nothing when
  // they cannot be read.
  virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;

  // Opens an enumeration of `pattern` (a folder followed by "*.*"); null when
  // the folder cannot be opened (a folder without entries is no failure).
  virtual std::unique_ptr<FolderEnumeration> EnumerateFolder(const std::string& pattern) = 0;

  // Reads every byte, sharing the file with other readers and writers. On
  // failure `bytes` is left empty.
  virtual OpResult ReadWholeFile(const std::string& path, std::string& bytes) = 0;

  // Puts a file holding `bytes` in place of `path`, whole or not at all: the
  // bytes go to a file of their own beside it, which then takes its place
  // in one step. A write that fails removes that file and leaves whatever
  // stood at `path` as it was. A read-only, hidden or system target is
  // refused, and an empty path fails and writes nothing.
  virtual OpResult WriteWholeFile(const std::string& path, std::string_view bytes) = 0;

  // The current user's desktop folder with a trailing backslash; empty when
  // the system gives none.
  virtual std::string DesktopFolder() = 0;
};

// The guard every rename goes through before the disk is touched: the target
// must lie in the same folder as the source, and its name must be one that
// cannot reach another folder or a stream: no "\" or "/" (real characters, not
// trail bytes), no ":", none of < > " | ? *, no byte below 0x20, not empty,
// not "." or "..", not made of dots and blanks alone (Windows strips
// those, leaving the folder itself), and no device name (CON, NUL.jpg,
// lpt1.x.txt: the part before the first "." names a device in every
// folder).
//
// A name holds at most 255 characters, a double-byte character counting
// one (the file systems' own limit), and the whole path less than the
// extended form's 32,767. Windows refuses longer targets by itself; saying
// so here gives the same answer wherever the program runs.
constexpr std::size_t kMaxNameLength = 255;
std::size_t CharacterCount(std::string_view s);
bool IsAcceptableNewName(std::string_view name);
bool IsAcceptableRename(std::string_view from, std::string_view to);

}  // namespace renamora
