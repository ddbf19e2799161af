#include "platform/win32/win32_file_system.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/gbk_text.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_code_page.h"

namespace renamora::win32 {

namespace {

OpResult LastFailure() {
  return OpResult::Failure(::GetLastError());
}

// The names come through the Unicode functions: the ANSI ones would give a
// look-alike for a character GBK lacks ("Koln.jpg" for "Köln.jpg"), and a
// command would then rename a sibling of that name. Such a character comes
// out as "?" instead, so that the row can only fail: "?" is a wildcard no
// file name may hold, and the ANSI rename refuses it as an invalid name.
class FindEnumeration final : public FolderEnumeration {
 public:
  FindEnumeration(FindHandle handle, const WIN32_FIND_DATAW& first)
      : handle_(std::move(handle)), data_(first), havePending_(true) {}

  bool Next(FolderEntry& entry) override {
    if (!havePending_) {
      if (!::FindNextFileW(handle_.Get(), &data_)) return false;
    }
    havePending_ = false;
    ToGbk(data_.cFileName, entry.name);
    entry.attributes = data_.dwFileAttributes & attr::kKept;
    return true;
  }

 private:
  FindHandle handle_;
  WIN32_FIND_DATAW data_;
  bool havePending_;
};

}  // namespace

OpResult Win32FileSystem::RenameFile(const std::string& from, const std::string& to) {
  if (!IsAcceptableRename(from, to)) return OpResult::Failure(error::kInvalidName);
  // No flag: no copy where the target lies on another device (a copy and a
  // delete can pour a file into a device), and no replacing.
  if (!::MoveFileExA(from.c_str(), to.c_str(), 0)) return LastFailure();
  return OpResult::Success();
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes & attr::kKept;
}

std::unique_ptr<FolderEnumeration> Win32FileSystem::EnumerateFolder(const std::string& pattern) {
  WIN32_FIND_DATAW data;
  // Basic information skips the short names, which nobody here reads.
  FindHandle handle(::FindFirstFileExW(FromGbk(pattern).c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!handle.Valid()) return nullptr;
  return std::make_unique<FindEnumeration>(std::move(handle), data);
}

OpResult Win32FileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return LastFailure();
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.Get(), &size)) return LastFailure();
  if (static_cast<unsigned long long>(size.QuadPart) > bytes.max_size()) {
    return OpResult::Failure(ERROR_NOT_ENOUGH_MEMORY);
  }
  std::string buffer;
  buffer.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  // Read until the end, whatever the size said: the file is shared with writers.
  for (;;) {
    if (done == buffer.size()) buffer.resize(buffer.size() + 65536);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(file.Get(), &buffer[done], want, &got, nullptr)) return LastFailure();
    if (got == 0) break;
    done += got;
  }
  buffer.resize(done);
  bytes = std::move(buffer);
  return OpResult::Success();
}

OpResult Win32FileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) return OpResult::Failure(ERROR_PATH_NOT_FOUND);
  // Windows' CREATE_ALWAYS refuses a read-only file, and a hidden or system
  // one unless asked to keep those attributes. Asking first gives the same
  // answer where the system would not (Wine running as root writes anyway).
  const DWORD existing = ::GetFileAttributesA(path.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
    return OpResult::Failure(ERROR_ACCESS_DENIED);
  }
  FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return LastFailure();
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD wrote = 0;
    if (!::WriteFile(file.Get(), bytes.data() + done, want, &wrote, nullptr)) return LastFailure();
    done += wrote;
  }
  return OpResult::Success();
}

std::string Win32FileSystem::DesktopFolder() {
  char path[MAX_PATH] = {};
  if (FAILED(
          ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return {};
  }
  std::string folder(path);
  if (!folder.empty() && !text::EndsWithChar(folder, '\\')) folder += '\\';
  return folder;
}

}  // namespace renamora::win32
