// A place to build files and folders for a test: in memory natively, in a
// fresh temporary folder on the real file system under Wine. The contract
// tests run the same cases against both.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/long_path.h"

namespace renamora::testing {

class Scene {
 public:
  virtual ~Scene() = default;
  virtual FileSystem& fs() = 0;
  // The conversion to the ANSI code page of the same platform.
  virtual CodePage& codePage() = 0;
  // A folder of the scene's own, with a trailing backslash; empty at start.
  virtual const std::string& root() const = 0;

  virtual void AddFolder(const std::string& path, std::uint32_t attributes = 0x10) = 0;
  virtual void AddFile(const std::string& path, const std::string& content = {},
                       std::uint32_t attributes = 0x20) = 0;
  virtual void SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Opens the file elsewhere without sharing until Unlock.
  virtual void Lock(const std::string& path) = 0;
  virtual void Unlock(const std::string& path) = 0;
  virtual void Remove(const std::string& path) = 0;
  // The file system's next write stops after `bytes` bytes, as on a full disk.
  virtual void FailNextWriteAfter(std::size_t bytes) = 0;

  // Paths are read as Windows reads them: a plain one loses the dots and
  // blanks at the end of its names, one in the extended form ("\\?\…")
  // is taken as it stands.
  virtual bool Exists(const std::string& path) = 0;
  // The same through the ANSI functions, which take no path of MAX_PATH
  // characters or more (in memory: any plain path).
  virtual bool ExistsByAnsiPath(const std::string& path) = 0;
  virtual std::optional<std::string> Content(const std::string& path) = 0;
  // The name as the file system stores it, case included.
  virtual std::optional<std::string> StoredName(const std::string& path) = 0;

  // Every file and folder below `folder` (which ends with a backslash),
  // depth first: paths relative to it, with file contents.
  struct Entry {
    std::string path;
    bool folder;
    std::string content;
  };
  virtual std::vector<Entry> Walk(const std::string& folder) = 0;

  // The platform's own answer whether a byte starts a double-byte
  // character of code page 936.
  virtual bool IsLeadByte(unsigned char b) const = 0;
  // What tells one file from another whatever its name: a copy differs.
  virtual std::uint64_t Identity(const std::string& path) = 0;

  // What this file system can be made to show.
  virtual bool CanMakeFileWithoutAttributes() const = 0;
  virtual bool CanMakeUnreadableFolder() const = 0;
  virtual void MakeUnreadable(const std::string& folder) = 0;
  virtual bool KeepsCreationOrder() const = 0;
  // Whether a folder can carry archive and read-only besides hidden and system.
  virtual bool CanGiveFoldersAnyAttribute() const = 0;
  // Whether a rename that changes only the case of letters shows the new case.
  virtual bool ChangesCaseOnRename() const = 0;
};

std::unique_ptr<Scene> MakeScene();

// `path` in the form Windows takes as it stands ("\\?\…"): a name ending
// in a dot or a blank, and a path of any length, as a scene is asked for it.
inline std::string Exact(const std::string& path) {
  std::string extended;
  ToExtendedPath(path, extended);
  return extended;
}

}  // namespace renamora::testing
