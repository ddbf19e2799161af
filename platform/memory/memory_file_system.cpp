#include "platform/memory/memory_file_system.h"

#include <algorithm>

#include "platform/gbk_text.h"

namespace renamora {

struct MemoryFileSystem::Node {
  std::string name;
  bool folder = false;
  std::uint32_t attributes = 0;  // of the five; folders always carry kDirectory
  bool locked = false;
  bool unreadable = false;
  std::string content;
  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;   // in creation order
  std::unordered_map<std::string, Node*> index;  // by folded name
};

namespace {

using Node = MemoryFileSystem::Node;

// NTFS compares names without case; only single-byte ASCII letters fold here,
// a trail byte that looks like a letter belongs to another character.
std::string Fold(std::string_view name) {
  std::string key(name);
  for (std::size_t i = 0; i < key.size(); i += text::CharLength(key, i)) {
    key[i] = text::AsciiLower(key[i]);
  }
  return key;
}

// Windows drops trailing dots and blanks from a path component.
std::string_view StripTrailingDotsAndBlanks(std::string_view part) {
  if (part == "." || part == "..") return part;
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
  return part;
}

struct ParsedPath {
  std::string drive;                    // folded "x:"
  std::vector<std::string_view> parts;  // after the drive, normalised
  bool trailingSeparator = false;
  bool valid = false;
};

ParsedPath Parse(std::string_view path) {
  ParsedPath parsed;
  if (path.size() < 2 || path[1] != ':' || static_cast<unsigned char>(path[0]) >= 0x80) {
    return parsed;
  }
  parsed.drive = Fold(path.substr(0, 2));
  std::string_view rest = path.substr(2);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= rest.size();) {
    const bool end = i == rest.size();
    if (end || rest[i] == '\\' || rest[i] == '/') {
      std::string_view part = StripTrailingDotsAndBlanks(rest.substr(start, i - start));
      if (part == "..") {
        if (!parsed.parts.empty()) parsed.parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parsed.parts.push_back(part);
      }
      if (end) break;
      parsed.trailingSeparator = i + 1 == rest.size();
      start = i + 1;
      ++i;
    } else {
      i += text::CharLength(rest, i);
    }
  }
  // "D:" alone names the current folder of the drive; only rooted paths count.
  parsed.valid = rest.empty() ? false : (rest[0] == '\\' || rest[0] == '/');
  return parsed;
}

Node* Child(const Node* folder, std::string_view name) {
  auto it = folder->index.find(Fold(name));
  return it == folder->index.end() ? nullptr : it->second;
}

Node* AddChild(Node* folder, std::string_view name, bool isFolder, std::uint32_t attributes) {
  auto node = std::make_unique<Node>();
  node->name = std::string(name);
  node->folder = isFolder;
  node->attributes = isFolder ? ((attributes & attr::kFive) | attr::kDirectory)
                              : (attributes & attr::kFive & ~attr::kDirectory);
  node->parent = folder;
  Node* raw = node.get();
  folder->index.emplace(Fold(name), raw);
  folder->children.push_back(std::move(node));
  return raw;
}

void Detach(Node* node, std::unique_ptr<Node>& out) {
  Node* parent = node->parent;
  parent->index.erase(Fold(node->name));
  auto& kids = parent->children;
  auto it = std::find_if(kids.begin(), kids.end(), [&](const auto& p) { return p.get() == node; });
  out = std::move(*it);
  kids.erase(it);
}

bool IsInside(const Node* node, const Node* ancestor) {
  for (; node; node = node->parent) {
    if (node == ancestor) return true;
  }
  return false;
}

class SnapshotEnumeration final : public FolderEnumeration {
 public:
  explicit SnapshotEnumeration(std::vector<FolderEntry> entries) : entries_(std::move(entries)) {}
  bool Next(FolderEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = std::move(entries_[next_++]);
    return true;
  }

 private:
  std::vector<FolderEntry> entries_;
  std::size_t next_ = 0;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : desktop_("C:\\users\\renamora\\Desktop\\") {
  AddFolder("C:\\users\\renamora\\Desktop");
}

MemoryFileSystem::~MemoryFileSystem() = default;

Node* MemoryFileSystem::Find(const std::string& path) const {
  ParsedPath parsed = Parse(path);
  if (!parsed.valid) return nullptr;
  auto drive = drives_.find(parsed.drive);
  if (drive == drives_.end()) return nullptr;
  Node* node = drive->second.get();
  for (std::string_view part : parsed.parts) {
    if (!node->folder) return nullptr;
    node = Child(node, part);
    if (!node) return nullptr;
  }
  // "D:\a.txt\" names a folder that is not there.
  if (parsed.trailingSeparator && !node->folder) return nullptr;
  return node;
}

Node* MemoryFileSystem::FindParentOf(const std::string& path, std::string& leaf, bool create) {
  ParsedPath parsed = Parse(path);
  if (!parsed.valid || parsed.parts.empty()) return nullptr;
  auto drive = drives_.find(parsed.drive);
  if (drive == drives_.end()) {
    if (!create) return nullptr;
    auto root = std::make_unique<Node>();
    root->name = std::string(path.substr(0, 2));
    root->folder = true;
    root->attributes = attr::kDirectory;
    drive = drives_.emplace(parsed.drive, std::move(root)).first;
  }
  Node* node = drive->second.get();
  for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) {
    Node* next = Child(node, parsed.parts[i]);
    if (!next) {
      if (!create) return nullptr;
      next = AddChild(node, parsed.parts[i], true, attr::kDirectory);
    }
    if (!next->folder) return nullptr;
    node = next;
  }
  leaf = std::string(parsed.parts.back());
  return node;
}

void MemoryFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
  if (Node* existing = Find(path)) {
    if (existing->folder) existing->attributes = (attributes & attr::kFive) | attr::kDirectory;
    return;
  }
  std::string leaf;
  if (Node* parent = FindParentOf(path, leaf, true)) {
    AddChild(parent, leaf, true, attributes);
  } else {
    // A drive root alone ("E:\").
    ParsedPath parsed = Parse(path);
    if (parsed.valid && parsed.parts.empty() && !drives_.count(parsed.drive)) {
      auto root = std::make_unique<Node>();
      root->name = path.substr(0, 2);
      root->folder = true;
      root->attributes = (attributes & attr::kFive) | attr::kDirectory;
      drives_.emplace(parsed.drive, std::move(root));
    }
  }
}

void MemoryFileSystem::AddFile(const std::string& path, std::string content,
                               std::uint32_t attributes) {
  std::string leaf;
  Node* parent = FindParentOf(path, leaf, true);
  if (!parent) return;
  Node* node = Child(parent, leaf);
  if (!node) node = AddChild(parent, leaf, false, attributes);
  if (node->folder) return;
  node->attributes = attributes & attr::kFive & ~attr::kDirectory;
  node->content = std::move(content);
}

bool MemoryFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Node* node = Find(path);
  if (!node) return false;
  node->attributes = node->folder ? ((attributes & attr::kFive) | attr::kDirectory)
                                  : (attributes & attr::kFive & ~attr::kDirectory);
  return true;
}

bool MemoryFileSystem::Remove(const std::string& path) {
  Node* node = Find(path);
  if (!node || !node->parent) return false;
  std::unique_ptr<Node> gone;
  Detach(node, gone);
  return true;
}

bool MemoryFileSystem::SetLocked(const std::string& path, bool locked) {
  Node* node = Find(path);
  if (!node || node->folder) return false;
  node->locked = locked;
  return true;
}

bool MemoryFileSystem::SetUnreadable(const std::string& path, bool unreadable) {
  Node* node = Find(path);
  if (!node || !node->folder) return false;
  node->unreadable = unreadable;
  return true;
}

bool MemoryFileSystem::Exists(const std::string& path) const {
  return Find(path) != nullptr;
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
  const Node* node = Find(path);
  return node && node->folder;
}

std::optional<std::string> MemoryFileSystem::Content(const std::string& path) const {
  const Node* node = Find(path);
  if (!node || node->folder) return std::nullopt;
  return node->content;
}

std::optional<std::string> MemoryFileSystem::StoredName(const std::string& path) const {
  const Node* node = Find(path);
  if (!node) return std::nullopt;
  return node->name;
}

std::vector<MemoryFileSystem::Item> MemoryFileSystem::Walk(const std::string& root) const {
  std::vector<Item> items;
  const Node* start = Find(root);
  if (!start || !start->folder) return items;
  std::string base = root;
  if (base.empty() || base.back() != '\\') base += '\\';
  std::function<void(const Node*, const std::string&)> visit = [&](const Node* folder,
                                                                   const std::string& prefix) {
    for (const auto& child : folder->children) {
      std::string path = prefix + child->name;
      items.push_back({path, child->folder, child->folder ? std::string() : child->content});
      if (child->folder) visit(child.get(), path + '\\');
    }
  };
  visit(start, base);
  return items;
}

OpResult MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
  if (!IsAcceptableRename(from, to)) return OpResult::Failure(error::kInvalidName);
  Node* source = Find(from);
  if (!source) {
    std::string leaf;
    return OpResult::Failure(FindParentOf(from, leaf, false) ? error::kFileNotFound
                                                             : error::kPathNotFound);
  }
  if (!source->parent) return OpResult::Failure(error::kAccessDenied);  // a drive root
  if (source->locked) return OpResult::Failure(error::kSharingViolation);
  std::string leaf;
  Node* targetFolder = FindParentOf(to, leaf, false);
  if (!targetFolder) return OpResult::Failure(error::kPathNotFound);
  Node* existing = Child(targetFolder, leaf);
  if (existing && existing != source) return OpResult::Failure(error::kAlreadyExists);
  if (source->folder && IsInside(targetFolder, source)) {
    return OpResult::Failure(error::kAccessDenied);
  }
  if (existing == source) {  // the same entry, perhaps in another case
    source->name = leaf;
    return OpResult::Success();
  }
  if (targetFolder == source->parent) {
    // A rename in place keeps the entry's place in the listing, and costs
    // nothing however full the folder is.
    targetFolder->index.erase(Fold(source->name));
    source->name = leaf;
    targetFolder->index.emplace(Fold(leaf), source);
    return OpResult::Success();
  }
  std::unique_ptr<Node> moving;
  Detach(source, moving);
  moving->name = leaf;
  moving->parent = targetFolder;
  targetFolder->index.emplace(Fold(leaf), moving.get());
  targetFolder->children.push_back(std::move(moving));
  return OpResult::Success();
}

std::optional<std::uint32_t> MemoryFileSystem::Attributes(const std::string& path) {
  if (CharacterCount(path) >= kMaxPath) return std::nullopt;
  const Node* node = Find(path);
  if (!node) return std::nullopt;
  return node->attributes;
}

std::unique_ptr<FolderEnumeration> MemoryFileSystem::EnumerateFolder(const std::string& pattern) {
  constexpr std::string_view kStar = "*.*";
  if (CharacterCount(pattern) >= kMaxPath) return nullptr;
  if (pattern.size() < kStar.size() ||
      pattern.compare(pattern.size() - kStar.size(), kStar.size(), kStar) != 0) {
    return nullptr;
  }
  const Node* folder = Find(pattern.substr(0, pattern.size() - kStar.size()));
  if (!folder || !folder->folder || folder->unreadable) return nullptr;
  std::vector<FolderEntry> entries;
  entries.reserve(folder->children.size() + 2);
  if (folder->parent) {  // a drive root lists no "." and ".."
    entries.push_back({".", attr::kDirectory});
    entries.push_back({"..", attr::kDirectory});
  }
  for (const auto& child : folder->children) {
    if (child->attributes != 0) entries.push_back({child->name, child->attributes});
  }
  return std::make_unique<SnapshotEnumeration>(std::move(entries));
}

OpResult MemoryFileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (CharacterCount(path) >= kMaxPath) return OpResult::Failure(error::kFilenameTooLong);
  const Node* node = Find(path);
  if (!node) return OpResult::Failure(error::kFileNotFound);
  if (node->folder) return OpResult::Failure(error::kAccessDenied);
  if (node->locked) return OpResult::Failure(error::kSharingViolation);
  bytes = node->content;
  return OpResult::Success();
}

OpResult MemoryFileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) return OpResult::Failure(error::kPathNotFound);
  if (CharacterCount(path) >= kMaxPath) return OpResult::Failure(error::kFilenameTooLong);
  std::string leaf;
  Node* parent = FindParentOf(path, leaf, false);
  if (!parent) return OpResult::Failure(error::kPathNotFound);
  Node* node = Child(parent, leaf);
  if (node) {
    if (node->folder) return OpResult::Failure(error::kAccessDenied);
    if (node->locked) return OpResult::Failure(error::kSharingViolation);
    // CREATE_ALWAYS refuses read-only files, and hidden or system ones when
    // the caller does not ask for those attributes itself.
    if (node->attributes & (attr::kReadOnly | attr::kHidden | attr::kSystem)) {
      return OpResult::Failure(error::kAccessDenied);
    }
    node->attributes |= attr::kArchive;
  } else {
    node = AddChild(parent, leaf, false, attr::kArchive);
  }
  node->content.assign(bytes.data(), bytes.size());
  return OpResult::Success();
}

}  // namespace renamora
