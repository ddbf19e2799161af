// A file system held in memory with the Windows behaviour the commands meet:
// drives and shares, plain paths (fewer than MAX_PATH characters, the dots
// and blanks at the end of a name dropped) beside extended ones ("\\?\…",
// taken as they stand), the attributes (and files that carry none of them, listed as
// Windows lists them), links to folders (reparse points), names that
// compare without case for ASCII letters, a rename that never replaces,
// enumeration in creation order, locked files and folders that cannot be read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace renamora {

class MemoryFileSystem final : public FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  // FileSystem
  OpResult RenameFile(const std::string& from, const std::string& to) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::unique_ptr<FolderEnumeration> EnumerateFolder(const std::string& pattern) override;
  OpResult ReadWholeFile(const std::string& path, std::string& bytes) override;
  OpResult WriteWholeFile(const std::string& path, std::string_view bytes) override;
  std::string DesktopFolder() override { return desktop_; }

  // The interface above takes every path as it stands, as the program asks;
  // setting up and looking at a scene reads a path as Windows reads it,
  // plain or extended.
  //
  // Setting up a scene. Parents are created as plain folders where missing;
  // drives ("X:") come into being on first use. `attributes` are Windows
  // values; 0 makes a file that carries none of them.
  void AddFolder(const std::string& path, std::uint32_t attributes = attr::kDirectory);
  void AddFile(const std::string& path, std::string content = {},
               std::uint32_t attributes = attr::kArchive);
  bool SetAttributes(const std::string& path, std::uint32_t attributes);
  // A link (junction) at `path` to the folder `target`: a folder that is a
  // reparse point, whose paths and listing are the target's.
  void AddLink(const std::string& path, const std::string& target);
  bool Remove(const std::string& path);  // a file, or a folder with all it holds
  // A locked file is open elsewhere without sharing: it can be neither read,
  // written nor renamed.
  bool SetLocked(const std::string& path, bool locked);
  // A folder that refuses to be enumerated (access denied).
  bool SetUnreadable(const std::string& path, bool unreadable);
  void SetDesktopFolder(std::string folder) { desktop_ = std::move(folder); }
  // The `call`-th operation from now (1 the next) throws std::bad_alloc, as
  // a step that runs out of memory does; 0 never.
  void ThrowAtCall(std::size_t call) {
    throwAt_ = call;
    calls_ = 0;
  }
  // The next write stops after `bytes` bytes, as on a full disk, when it
  // has more to write.
  void FailWriteAfter(std::size_t bytes) { failWriteAfter_ = bytes; }

  // Looking at a scene.
  bool Exists(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  std::optional<std::string> Content(const std::string& path) const;
  // What tells the entry from every other one, whatever it is named; 0
  // when there is none.
  std::uintptr_t Identity(const std::string& path) const {
    return reinterpret_cast<std::uintptr_t>(Find(path));
  }
  // The exact spelling of the entry's name as stored (case kept).
  std::optional<std::string> StoredName(const std::string& path) const;
  // Every file and folder below (not including) `root`, depth first, as full
  // paths with their contents; folders have no content.
  struct Item {
    std::string path;
    bool folder;
    std::string content;
  };
  std::vector<Item> Walk(const std::string& root) const;

  struct Node;

 private:
  Node* Find(std::string_view path) const;
  // The folder a link leads to (null when it is gone); any other node itself.
  Node* Through(Node* node) const;
  // The folder that holds the entry `path` names, and in `leaf` the entry's
  // name (a view into `path`); null when there is no such folder. With
  // `create`, missing folders (and drives) are made on the way.
  Node* FindParentOf(std::string_view path, std::string_view& leaf, bool create);

  void CountCall();

  std::size_t throwAt_ = 0;
  std::size_t calls_ = 0;
  std::optional<std::size_t> failWriteAfter_;
  // The extended forms of the paths of the call at hand, their room kept.
  std::string from_;
  std::string to_;
  std::unordered_map<std::string, std::unique_ptr<Node>> drives_;
  std::string desktop_;
};

}  // namespace renamora
