#include <windows.h>

#include <map>

#include "platform/gbk_text.h"
#include "platform/win32/file_system_seams.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_system.h"
#include "tests/support/scene.h"

namespace renamora::testing {

namespace {

std::wstring Wide(const std::string& path);

// Wine shows folders without write bits as read-only, symlinks as links (bit 0: gone).
void RunUnix(const std::wstring& tool, const std::string& given, DWORD bit) {
  // The tool runs in the folder of the link, named plainly.
  const std::string path =
      given.compare(0, kExtendedPrefix.size(), kExtendedPrefix) == 0 ? given.substr(4) : given;
  const std::size_t slash = text::FindLastChar(path, '\\');
  const std::wstring folder = Wide(path.substr(0, slash)), leaf = Wide(path.substr(slash + 1));
  STARTUPINFOW startup;
  ::GetStartupInfoW(&startup);
  PROCESS_INFORMATION process{};
  if (::CreateProcessW(nullptr, (tool + L" \"" + leaf + L"\"").data(), nullptr, nullptr, FALSE, 0,
                       nullptr, folder.c_str(), &startup, &process)) {
    ::CloseHandle(process.hThread), ::CloseHandle(process.hProcess);
  }
  for (int i = 0; i < 500; ++i, ::Sleep(10)) {  // the tool outlives its process: wait for bit
    const DWORD a = ::GetFileAttributesW(Wide(path).c_str());
    if (bit ? a != INVALID_FILE_ATTRIBUTES && (a & bit) : a == INVALID_FILE_ATTRIBUTES) break;
  }
}

// A path as the test gives it, plain or extended, for the Unicode functions,
// which read it as Windows reads either form.
std::wstring Wide(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  const int length = ::MultiByteToWideChar(936, 0, path.data(), static_cast<int>(path.size()),
                                           wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return wide;
}

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Every entry of `folder` (which ends with a backslash), with its name in GBK.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((Wide(folder) + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (IsDotEntry(data.cFileName)) continue;
    std::string name;
    win32::ToGbk(data.cFileName, name);
    visit(name, data);
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
}

void RemoveTree(const std::string& folder) {
  ForEachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAW& data) {
    const std::string path = folder + name;
    ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      RunUnix(L"Z:\\bin\\rm -f", path, 0);  // the link, not what it leads to
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path + "\\");
    } else {
      ::DeleteFileW(Wide(path).c_str());
    }
  });
  std::string bare = folder;
  if (!bare.empty() && bare.back() == '\\') bare.pop_back();
  ::RemoveDirectoryW(Wide(bare).c_str());
}

class RealScene final : public Scene {
 public:
  RealScene() {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    root_ = std::string(temp) + "renamora-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + "\\";
    RemoveTree(Exact(root_));
    ::CreateDirectoryA(root_.c_str(), nullptr);
  }
  ~RealScene() override {
    locks_.clear();
    RemoveTree(Exact(root_));
  }

  FileSystem& fs() override { return fs_; }
  CodePage& codePage() override { return codePage_; }
  const std::string& root() const override { return root_; }

  // A link leads to the folder that holds it, up its own tree.
  void AddFolder(const std::string& path, std::uint32_t attributes) override {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RunUnix(L"Z:\\bin\\ln -s .", path, 0x400);
    ::CreateDirectoryW(Wide(path).c_str(), nullptr);
    SetAttributes(path, attributes);
    if (attributes & FILE_ATTRIBUTE_READONLY) RunUnix(L"Z:\\bin\\chmod a-w", path, 0x01);
  }
  void AddFile(const std::string& path, const std::string& content,
               std::uint32_t attributes) override {
    win32::FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD wrote = 0;
    if (!content.empty()) {
      ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr);
    }
    file.Reset();
    SetAttributes(path, attributes);
  }
  void SetAttributes(const std::string& path, std::uint32_t attributes) override {
    ::SetFileAttributesW(Wide(path).c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes);
  }
  void Lock(const std::string& path) override {
    locks_[path] = win32::FileHandle(::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  void Unlock(const std::string& path) override { locks_.erase(path); }
  void FailNextWriteAfter(std::size_t bytes) override { win32::seams::FailNextWriteAfter(bytes); }
  void Remove(const std::string& path) override {
    const DWORD a = ::GetFileAttributesW(Wide(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (a & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path + "\\");
    } else {
      ::DeleteFileW(Wide(path).c_str());
    }
  }
  bool Exists(const std::string& path) override {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool ExistsByAnsiPath(const std::string& path) override {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::optional<std::string> Content(const std::string& path) override {
    win32::FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
      bytes.append(buffer, got);
    }
    return bytes;
  }
  std::optional<std::string> StoredName(const std::string& path) override {
    // Wine answers a pattern without wildcards with the pattern's own
    // spelling, so look the name up in a listing of its folder.
    const std::size_t slash = text::FindLastChar(path, '\\');
    const std::wstring name = Wide(path.substr(slash + 1));
    std::optional<std::string> stored;
    ForEachEntry(Exact(path.substr(0, slash + 1)),
                 [&](const std::string& entry, const WIN32_FIND_DATAW& data) {
                   if (!stored && ::lstrcmpiW(data.cFileName, name.c_str()) == 0) stored = entry;
                 });
    return stored;
  }
  std::vector<Entry> Walk(const std::string& folder) override {
    std::vector<Entry> entries;
    WalkInto(Exact(folder), "", entries);
    return entries;
  }
  bool IsLeadByte(unsigned char b) const override { return ::IsDBCSLeadByteEx(936, b); }
  std::uint64_t Identity(const std::string& path) override {
    win32::FileHandle file(::CreateFileW(Wide(path).c_str(), 0, 7, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.Get(), &info)) return 0;
    return std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
  }
  // Wine gives every regular file the archive attribute, and the tests run
  // as root, whom no folder permission keeps out.
  bool CanMakeFileWithoutAttributes() const override { return false; }
  bool CanMakeUnreadableFolder() const override { return false; }
  void MakeUnreadable(const std::string&) override {}
  bool KeepsCreationOrder() const override { return false; }
  // Wine keeps no archive or read-only attribute on a folder.
  bool CanGiveFoldersAnyAttribute() const override { return false; }
  // Wine reports a case-only rename as done and keeps the old spelling.
  bool ChangesCaseOnRename() const override { return false; }

 private:
  void WalkInto(const std::string& base, const std::string& relative, std::vector<Entry>& out) {
    ForEachEntry(base + relative, [&](const std::string& name, const WIN32_FIND_DATAW& data) {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        out.push_back({relative + name, true, {}});
        WalkInto(base, relative + name + "\\", out);
      } else {
        out.push_back({relative + name, false, Content(base + relative + name).value_or("")});
      }
    });
  }

  win32::Win32FileSystem fs_;
  win32::Win32CodePage codePage_;
  std::string root_;
  std::map<std::string, win32::FileHandle> locks_;
};

}  // namespace

std::unique_ptr<Scene> MakeScene() {
  return std::make_unique<RealScene>();
}

}  // namespace renamora::testing
