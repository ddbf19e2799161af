#include "platform/memory/memory_file_system.h"

#include <algorithm>
#include <bitset>
#include <new>

#include "platform/gbk_text.h"
#include "platform/long_path.h"
#include "platform/memory/memory_code_page.h"

namespace renamora {

namespace {

using Node = MemoryFileSystem::Node;

// Names are stepped through by the lead bytes of the C library's GBK table,
// never by the program's own text model: the contract tests check that
// model against this file system, which would otherwise only echo it.
std::bitset<256> LeadTable() {
  std::bitset<256> table;
  for (unsigned i = 0; i < 256; ++i) table[i] = StartsDoubleByteCharacter(i);
  return table;
}
// Copied here once, so that a lookup, which steps through every byte of a
// name, reads a table instead of calling out.
const std::bitset<256> kLeads = LeadTable();

bool Lead(char b) {
  return kLeads[static_cast<unsigned char>(b)];
}
std::size_t Step(std::string_view s, std::size_t i) {
  return Lead(s[i]) && i + 1 < s.size() ? 2 : 1;
}

// The name as Windows stores it, without the dots and blanks at its end.
// From the end, as a path's last bytes tell it: the byte there is the trail
// of a character when an odd run of lead bytes stands before it.
std::string_view Stored(std::string_view name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
    std::size_t leads = 0;
    while (leads + 1 < name.size() && Lead(name[name.size() - 2 - leads])) ++leads;
    if (leads % 2 == 1) break;
    name.remove_suffix(1);
  }
  return name;
}

// A folder's entries by name, compared as NTFS compares them: ASCII letters
// without case, and only where they start a character (a trail byte that
// looks like a letter belongs to another character). Open addressing with
// linear probing: a lookup reads one slot, and the entry only when the
// stored hash agrees, so a folder of thousands costs no more than one of ten.
class NameIndex {
 public:
  static std::uint64_t HashOf(std::string_view name);
  // The entry of that name under any spelling; null when there is none.
  Node* Find(std::string_view name) const;
  // `node` must not be there yet under any spelling of its name.
  void Insert(std::uint64_t hash, Node* node);
  // Takes out the entry of `node` under its current name.
  void Erase(const Node* node);

 private:
  struct Slot {
    std::uint64_t hash = 0;
    Node* node = nullptr;  // null: empty
  };
  std::size_t Home(std::uint64_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> shift_);
  }
  void Grow();
  void EraseSlot(std::size_t slot);

  std::vector<Slot> slots_;  // empty, or a power of two at most half full
  std::size_t size_ = 0;
  unsigned shift_ = 64;
};

}  // namespace

struct MemoryFileSystem::Node {
  std::string name;
  bool folder = false;
  std::uint32_t attributes = 0;  // of the kept ones; folders always carry kDirectory
  bool locked = false;
  bool unreadable = false;
  std::string link;  // a link (reparse point): the folder it leads to
  std::string content;
  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;  // in creation order
  NameIndex index;                              // the same children by name
};

namespace {

std::uint64_t NameIndex::HashOf(std::string_view name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < name.size(); ++i) {
    hash = (hash ^ static_cast<unsigned char>(text::AsciiLower(name[i]))) * 1099511628211ull;
    if (Step(name, i) == 2) {
      ++i;  // a trail byte keeps its case
      hash = (hash ^ static_cast<unsigned char>(name[i])) * 1099511628211ull;
    }
  }
  return hash;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;
  // Equal folded bytes mean equal character boundaries, so a's boundaries
  // serve for both.
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (text::AsciiLower(a[i]) != text::AsciiLower(b[i])) return false;
    if (Step(a, i) == 2) {
      ++i;
      if (a[i] != b[i]) return false;
    }
  }
  return true;
}

Node* NameIndex::Find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const std::uint64_t hash = HashOf(name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Home(hash);; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (!slot.node) return nullptr;
    if (slot.hash == hash && SameName(slot.node->name, name)) return slot.node;
  }
}

void NameIndex::Insert(std::uint64_t hash, Node* node) {
  if ((size_ + 1) * 2 > slots_.size()) Grow();
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = Home(hash);
  while (slots_[i].node) i = (i + 1) & mask;
  slots_[i] = {hash, node};
  ++size_;
}

void NameIndex::EraseSlot(std::size_t hole) {
  // Entries after the hole that could not sit at their home move back, so
  // that no probe stops early at an empty slot.
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t j = (hole + 1) & mask; slots_[j].node; j = (j + 1) & mask) {
    const std::size_t home = Home(slots_[j].hash);
    if (((j - home) & mask) >= ((j - hole) & mask)) {
      slots_[hole] = slots_[j];
      hole = j;
    }
  }
  slots_[hole] = Slot();
  --size_;
}

void NameIndex::Erase(const Node* node) {
  if (slots_.empty()) return;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Home(HashOf(node->name)); slots_[i].node; i = (i + 1) & mask) {
    if (slots_[i].node == node) {
      EraseSlot(i);
      return;
    }
  }
}

void NameIndex::Grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.resize(old.empty() ? 8 : old.size() * 2);
  shift_ = 64;
  for (std::size_t n = slots_.size(); n > 1; n >>= 1) --shift_;
  size_ = 0;
  for (const Slot& slot : old) {
    if (slot.node) Insert(slot.hash, slot.node);
  }
}

void FoldInto(std::string& key, std::string_view name) {
  key.assign(name.data(), name.size());
  for (std::size_t i = 0; i < key.size(); i += Step(key, i)) {
    key[i] = text::AsciiLower(key[i]);
  }
}

struct ParsedPath {
  std::string root;                     // folded: "x:" or "\\server\share"
  std::string_view rootName;            // as spelled: "X:" or "server\share"
  std::vector<std::string_view> parts;  // after the root, normalised
  bool trailingSeparator = false;
  bool valid = false;
};

// MAX_PATH: what a plain path may hold, the last character its end.
constexpr std::size_t kMaxPlainPath = 260;

bool IsSeparator(char c, bool exact) {
  return c == '\\' || (!exact && c == '/');
}

// The root of `path` ("D:", "\\server\share") into `parsed`, and `rest`
// what follows it; false when the path has none.
bool TakeRoot(std::string_view path, bool exact, bool unc, ParsedPath& parsed,
              std::string_view& rest) {
  if (!unc) {
    if (path.size() < 2 || path[1] != ':' || static_cast<unsigned char>(path[0]) >= 0x80) {
      return false;
    }
    parsed.rootName = path.substr(0, 2);
    rest = path.substr(2);
  } else {
    std::size_t serverEnd = 0;
    while (serverEnd < path.size() && !IsSeparator(path[serverEnd], exact)) {
      serverEnd += Step(path, serverEnd);
    }
    std::size_t shareEnd = serverEnd + 1;
    while (shareEnd < path.size() && !IsSeparator(path[shareEnd], exact)) {
      shareEnd += Step(path, shareEnd);
    }
    if (serverEnd == 0 || shareEnd <= serverEnd + 1 || shareEnd > path.size()) return false;
    parsed.rootName = path.substr(0, shareEnd);
    rest = path.substr(shareEnd);
  }
  FoldInto(parsed.root, parsed.rootName);
  if (unc) parsed.root.insert(0, "\\\\");
  return true;
}

// A path as Windows reads it. A plain one ("D:\…", "\\server\share\…")
// holds fewer than MAX_PATH characters, takes "/" for "\" and drops the
// dots and blanks at the end of each name; one in the extended form
// ("\\?\D:\…", "\\?\UNC\server\share\…") is taken as it stands, at any
// length, where "." and ".." and empty names are names no file has.
ParsedPath Parse(std::string_view path) {
  ParsedPath parsed;
  parsed.parts.reserve(8);  // room for most paths at once
  const bool exact = path.substr(0, kExtendedPrefix.size()) == kExtendedPrefix;
  bool unc = false;
  if (exact) {
    path.remove_prefix(kExtendedPrefix.size());
    unc = path.substr(0, 4) == "UNC\\";
    if (unc) path.remove_prefix(4);
  } else {
    if (CharacterCount(path) >= kMaxPlainPath) return parsed;
    unc = path.size() > 2 && IsSeparator(path[0], false) && IsSeparator(path[1], false);
    if (unc) path.remove_prefix(2);
  }
  std::string_view rest;
  if (!TakeRoot(path, exact, unc, parsed, rest)) return parsed;
  // "D:" alone names the current folder of the drive; only rooted paths
  // count, and a share is rooted by its name.
  if (!unc && (rest.empty() || !IsSeparator(rest[0], exact))) return parsed;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= rest.size();) {
    const bool end = i == rest.size();
    if (end || IsSeparator(rest[i], exact)) {
      std::string_view part = rest.substr(start, i - start);
      if (exact) {
        if (part == "." || part == ".." || (part.empty() && start != 0 && !end)) return parsed;
        if (!part.empty()) parsed.parts.push_back(part);
      } else {
        // Windows drops the dots and blanks at the end of every name but
        // "." and "..".
        if (part != "." && part != "..") part = Stored(part);
        if (part == "..") {
          if (!parsed.parts.empty()) parsed.parts.pop_back();
        } else if (!part.empty() && part != ".") {
          parsed.parts.push_back(part);
        }
      }
      if (end) break;
      parsed.trailingSeparator = i + 1 == rest.size();
      start = i + 1;
      ++i;
    } else {
      i += Step(rest, i);
    }
  }
  parsed.valid = true;
  return parsed;
}

Node* Child(const Node* folder, std::string_view name) {
  return folder->index.Find(name);
}

Node* AddChild(Node* folder, std::string_view name, bool isFolder, std::uint32_t attributes) {
  auto node = std::make_unique<Node>();
  node->name = std::string(name);
  node->folder = isFolder;
  node->attributes = isFolder ? ((attributes & attr::kKept) | attr::kDirectory)
                              : (attributes & attr::kKept & ~attr::kDirectory);
  node->parent = folder;
  Node* raw = node.get();
  folder->index.Insert(NameIndex::HashOf(raw->name), raw);
  folder->children.push_back(std::move(node));
  return raw;
}

void Detach(Node* node, std::unique_ptr<Node>& out) {
  Node* parent = node->parent;
  parent->index.Erase(node);
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

// The folder as it was when the enumeration was opened. The names lie side
// by side in one text, so that opening costs two allocations however many
// entries the folder holds, and the caller's entry takes each name into the
// room it already has.
class SnapshotEnumeration final : public FolderEnumeration {
 public:
  void Add(std::string_view name, std::uint32_t attributes) {
    names_.append(name.data(), name.size());
    entries_.push_back({names_.size(), attributes});
  }
  void Reserve(std::size_t entries, std::size_t nameBytes) {
    entries_.reserve(entries);
    names_.reserve(nameBytes);
  }
  bool Next(FolderEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    const std::size_t begin = next_ == 0 ? 0 : entries_[next_ - 1].end;
    entry.name.assign(names_, begin, entries_[next_].end - begin);
    entry.attributes = entries_[next_].attributes;
    ++next_;
    return true;
  }

 private:
  struct Entry {
    std::size_t end;  // of the name in names_
    std::uint32_t attributes;
  };
  std::string names_;
  std::vector<Entry> entries_;
  std::size_t next_ = 0;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : desktop_("C:\\users\\renamora\\Desktop\\") {
  AddFolder("C:\\users\\renamora\\Desktop");
}

MemoryFileSystem::~MemoryFileSystem() = default;

Node* MemoryFileSystem::Find(std::string_view path) const {
  const ParsedPath parsed = Parse(path);
  if (!parsed.valid) return nullptr;
  auto drive = drives_.find(parsed.root);
  if (drive == drives_.end()) return nullptr;
  Node* node = drive->second.get();
  for (std::string_view part : parsed.parts) {
    if (!node->folder || !(node = Through(node))) return nullptr;
    node = Child(node, part);
    if (!node) return nullptr;
  }
  // "D:\a.txt\" names a folder that is not there.
  if (parsed.trailingSeparator && !node->folder) return nullptr;
  return node;
}

Node* MemoryFileSystem::FindParentOf(std::string_view path, std::string_view& leaf, bool create) {
  const ParsedPath parsed = Parse(path);
  if (!parsed.valid || parsed.parts.empty()) return nullptr;
  auto drive = drives_.find(parsed.root);
  if (drive == drives_.end()) {
    if (!create) return nullptr;
    auto root = std::make_unique<Node>();
    root->name = std::string(parsed.rootName);
    root->folder = true;
    root->attributes = attr::kDirectory;
    drive = drives_.emplace(parsed.root, std::move(root)).first;
  }
  Node* node = drive->second.get();
  for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) {
    Node* next = Child(node, parsed.parts[i]);
    if (!next) {
      if (!create) return nullptr;
      next = AddChild(node, parsed.parts[i], true, attr::kDirectory);
    }
    if (!next->folder) return nullptr;
    node = Through(next);
    if (!node) return nullptr;
  }
  leaf = parsed.parts.back();
  return node;
}

Node* MemoryFileSystem::Through(Node* node) const {
  return node->link.empty() ? node : Find(node->link);
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target) {
  AddFolder(path, attr::kDirectory | attr::kReparsePoint);
  if (Node* node = Find(path)) node->link = target;
}

void MemoryFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
  if (Node* existing = Find(path)) {
    if (existing->folder) existing->attributes = (attributes & attr::kKept) | attr::kDirectory;
    return;
  }
  std::string_view leaf;
  if (Node* parent = FindParentOf(path, leaf, true)) {
    AddChild(parent, leaf, true, attributes);
  } else {
    // A drive or share root alone ("E:\", "\\nas\photos").
    const ParsedPath parsed = Parse(path);
    if (parsed.valid && parsed.parts.empty() && !drives_.count(parsed.root)) {
      auto root = std::make_unique<Node>();
      root->name = std::string(parsed.rootName);
      root->folder = true;
      root->attributes = (attributes & attr::kKept) | attr::kDirectory;
      drives_.emplace(parsed.root, std::move(root));
    }
  }
}

void MemoryFileSystem::AddFile(const std::string& path, std::string content,
                               std::uint32_t attributes) {
  std::string_view leaf;
  Node* parent = FindParentOf(path, leaf, true);
  if (!parent) return;
  Node* node = Child(parent, leaf);
  if (!node) node = AddChild(parent, leaf, false, attributes);
  if (node->folder) return;
  node->attributes = attributes & attr::kKept & ~attr::kDirectory;
  node->content = std::move(content);
}

bool MemoryFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Node* node = Find(path);
  if (!node) return false;
  node->attributes = node->folder ? ((attributes & attr::kKept) | attr::kDirectory)
                                  : (attributes & attr::kKept & ~attr::kDirectory);
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

void MemoryFileSystem::CountCall() {
  if (throwAt_ != 0 && ++calls_ == throwAt_) throw std::bad_alloc();
}

OpResult MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
  CountCall();
  if (!IsAcceptableRename(from, to)) return OpResult::Failure(error::kInvalidName);
  if (!ToExtendedPath(from, from_) || !ToExtendedPath(to, to_)) {
    return OpResult::Failure(error::kFilenameTooLong);
  }
  Node* source = Find(from_);
  if (!source) {
    std::string_view leaf;
    return OpResult::Failure(FindParentOf(from_, leaf, false) ? error::kFileNotFound
                                                              : error::kPathNotFound);
  }
  if (!source->parent) return OpResult::Failure(error::kAccessDenied);  // a drive root
  if (source->locked) return OpResult::Failure(error::kSharingViolation);
  std::string_view leaf;
  Node* targetFolder = FindParentOf(to_, leaf, false);
  if (!targetFolder) return OpResult::Failure(error::kPathNotFound);
  Node* existing = Child(targetFolder, leaf);
  if (existing && existing != source) return OpResult::Failure(error::kAlreadyExists);
  if (source->folder && IsInside(targetFolder, source)) {
    return OpResult::Failure(error::kAccessDenied);
  }
  if (targetFolder == source->parent) {
    // A rename in place, perhaps of the case alone, keeps the entry's place
    // in the listing and costs nothing however full the folder is.
    targetFolder->index.Erase(source);
    source->name = leaf;
    targetFolder->index.Insert(NameIndex::HashOf(leaf), source);
    return OpResult::Success();
  }
  std::unique_ptr<Node> moving;
  Detach(source, moving);
  moving->name = leaf;
  moving->parent = targetFolder;
  targetFolder->index.Insert(NameIndex::HashOf(leaf), moving.get());
  targetFolder->children.push_back(std::move(moving));
  return OpResult::Success();
}

std::optional<std::uint32_t> MemoryFileSystem::Attributes(const std::string& path) {
  CountCall();
  if (!ToExtendedPath(path, from_)) return std::nullopt;
  const Node* node = Find(from_);
  if (!node) return std::nullopt;
  return node->attributes;
}

std::unique_ptr<FolderEnumeration> MemoryFileSystem::EnumerateFolder(const std::string& pattern) {
  CountCall();
  constexpr std::string_view kStar = "*.*";
  if (!ToExtendedPath(pattern, from_)) return nullptr;
  if (from_.size() < kStar.size() ||
      from_.compare(from_.size() - kStar.size(), kStar.size(), kStar) != 0) {
    return nullptr;
  }
  from_.resize(from_.size() - kStar.size());
  Node* folder = Find(from_);
  if (folder && folder->folder) folder = Through(folder);
  if (!folder || !folder->folder || folder->unreadable) return nullptr;
  auto entries = std::make_unique<SnapshotEnumeration>();
  std::size_t nameBytes = 3;
  for (const auto& child : folder->children) nameBytes += child->name.size();
  entries->Reserve(folder->children.size() + 2, nameBytes);
  if (folder->parent) {  // a drive root lists no "." and ".."
    entries->Add(".", attr::kDirectory);
    entries->Add("..", attr::kDirectory);
  }
  for (const auto& child : folder->children) entries->Add(child->name, child->attributes);
  return entries;
}

OpResult MemoryFileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  CountCall();
  bytes.clear();
  if (!ToExtendedPath(path, from_)) return OpResult::Failure(error::kFilenameTooLong);
  const Node* node = Find(from_);
  if (!node) return OpResult::Failure(error::kFileNotFound);
  if (node->folder) return OpResult::Failure(error::kAccessDenied);
  if (node->locked) return OpResult::Failure(error::kSharingViolation);
  bytes = node->content;
  return OpResult::Success();
}

OpResult MemoryFileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
  CountCall();
  const std::optional<std::size_t> failAfter = failWriteAfter_;
  failWriteAfter_.reset();
  if (path.empty()) return OpResult::Failure(error::kPathNotFound);
  if (!ToExtendedPath(path, from_)) return OpResult::Failure(error::kFilenameTooLong);
  std::string_view leaf;
  Node* parent = FindParentOf(from_, leaf, false);
  if (!parent) return OpResult::Failure(error::kPathNotFound);
  if (Node* old = Child(parent, leaf)) {
    if (old->folder) return OpResult::Failure(error::kAccessDenied);
    // The old file stays open elsewhere without sharing: no replacing it.
    if (old->locked) return OpResult::Failure(error::kSharingViolation);
    // Never over a read-only file, nor over a hidden or system one.
    if (old->attributes & (attr::kReadOnly | attr::kHidden | attr::kSystem)) {
      return OpResult::Failure(error::kAccessDenied);
    }
  }
  // The bytes go beside the target first, under a name of their own.
  std::string tempName;
  for (unsigned n = 1; tempName.empty() || Child(parent, tempName); ++n) {
    tempName = "~rn" + std::to_string(n) + ".tmp";
  }
  Node* temp = AddChild(parent, tempName, false, attr::kArchive);
  if (failAfter && bytes.size() > *failAfter) {
    // The disk filled up part-way: what was written goes with its file.
    temp->content.assign(bytes.data(), *failAfter);
    std::unique_ptr<Node> gone;
    Detach(temp, gone);
    return OpResult::Failure(error::kDiskFull);
  }
  temp->content.assign(bytes.data(), bytes.size());
  // Then it takes the target's place in one step.
  std::unique_ptr<Node> replaced;
  if (Node* old = Child(parent, leaf)) Detach(old, replaced);
  parent->index.Erase(temp);
  temp->name = std::string(leaf);
  parent->index.Insert(NameIndex::HashOf(temp->name), temp);
  return OpResult::Success();
}

}  // namespace renamora
