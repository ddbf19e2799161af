#include "platform/memory/memory_code_page.h"
#include "platform/memory/memory_file_system.h"
#include "tests/support/scene.h"

namespace renamora::testing {

namespace {

class MemoryScene final : public Scene {
 public:
  MemoryScene() { fs_.AddFolder(root_); }
  FileSystem& fs() override { return fs_; }
  CodePage& codePage() override { return codePage_; }
  const std::string& root() const override { return root_; }

  void AddFolder(const std::string& path, std::uint32_t attributes) override {
    if (attributes & attr::kReparsePoint) return fs_.AddLink(path, path + "\\..");  // up its tree
    fs_.AddFolder(path, attributes);
  }
  void AddFile(const std::string& path, const std::string& content,
               std::uint32_t attributes) override {
    fs_.AddFile(path, content, attributes);
  }
  void SetAttributes(const std::string& path, std::uint32_t attributes) override {
    fs_.SetAttributes(path, attributes);
  }
  void Lock(const std::string& path) override { fs_.SetLocked(path, true); }
  void Unlock(const std::string& path) override { fs_.SetLocked(path, false); }
  void Remove(const std::string& path) override { fs_.Remove(path); }
  void FailNextWriteAfter(std::size_t bytes) override { fs_.FailWriteAfter(bytes); }
  bool Exists(const std::string& path) override { return fs_.Exists(path); }
  bool ExistsByAnsiPath(const std::string& path) override { return fs_.Exists(path); }
  std::optional<std::string> Content(const std::string& path) override { return fs_.Content(path); }
  std::optional<std::string> StoredName(const std::string& path) override {
    return fs_.StoredName(path);
  }
  std::vector<Entry> Walk(const std::string& folder) override {
    std::vector<Entry> entries;
    for (auto& item : fs_.Walk(folder)) {
      entries.push_back({item.path.substr(folder.size()), item.folder, std::move(item.content)});
    }
    return entries;
  }
  bool IsLeadByte(unsigned char b) const override { return StartsDoubleByteCharacter(b); }
  std::uint64_t Identity(const std::string& path) override { return fs_.Identity(path); }
  bool CanMakeFileWithoutAttributes() const override { return true; }
  bool CanMakeUnreadableFolder() const override { return true; }
  void MakeUnreadable(const std::string& folder) override { fs_.SetUnreadable(folder, true); }
  bool KeepsCreationOrder() const override { return true; }
  bool CanGiveFoldersAnyAttribute() const override { return true; }
  bool ChangesCaseOnRename() const override { return true; }

 private:
  MemoryFileSystem fs_;
  MemoryCodePage codePage_;
  std::string root_ = "D:\\scene\\";
};

}  // namespace

std::unique_ptr<Scene> MakeScene() {
  return std::make_unique<MemoryScene>();
}

}  // namespace renamora::testing
