#include "platform/win32/win32_file_system.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <optional>

#include "platform/gbk_text.h"
#include "platform/long_path.h"
#include "platform/win32/file_system_seams.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_code_page.h"

namespace renamora::win32 {

namespace {

OpResult LastFailure() {
  return OpResult::Failure(::GetLastError());
}

// Whether this Windows takes the listing's basic information level and
// large fetch: Vista refuses both. Asked at the first listing and
// remembered for the life of the process.
enum class FastListing { kUnknown, kTaken, kRefused };
FastListing g_fastListing = FastListing::kUnknown;
bool g_refuseFastListing = false;
std::optional<std::size_t> g_failNextWriteAfter;

HANDLE OpenListing(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
  if (g_fastListing != FastListing::kRefused) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (g_refuseFastListing) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
    } else {
      // Basic information skips the short names, which nobody here reads.
      handle = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                  nullptr, FIND_FIRST_EX_LARGE_FETCH);
    }
    if (handle != INVALID_HANDLE_VALUE) {
      g_fastListing = FastListing::kTaken;
      return handle;
    }
    if (::GetLastError() != ERROR_INVALID_PARAMETER || g_fastListing == FastListing::kTaken) {
      return handle;
    }
  }
  HANDLE handle = ::FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data,
                                     FindExSearchNameMatch, nullptr, 0);
  // Only a listing the plain way takes proves the refusal was of the level
  // and the fetch, not of the pattern.
  if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_INVALID_PARAMETER) {
    g_fastListing = FastListing::kRefused;
  }
  return handle;
}

// The names come through the Unicode functions: the ANSI ones would give a
// look-alike for a character GBK lacks ("Koln.jpg" for "Köln.jpg"), and a
// command would then rename a sibling of that name. Such a character comes
// out as "?" instead, so that the row can only fail: "?" is a wildcard no
// file name may hold.
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

// A folder that holds nothing the pattern matches (a drive root lists no
// "." and ".."): opened, and empty.
class NoEntries final : public FolderEnumeration {
 public:
  bool Next(FolderEntry&) override { return false; }
};

// The file a write puts its bytes in before they take the target's place:
// removed again unless it was put there.
class TempFile {
 public:
  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!path_.empty()) ::DeleteFileW(path_.c_str());
  }
  // Creates a file of its own in the folder of `target`; false when none
  // can be made there.
  bool Create(const std::wstring& target, FileHandle& file) {
    const std::wstring folder = target.substr(0, target.rfind(L'\\') + 1);
    const std::wstring stem = folder + L"~rn" + std::to_wstring(::GetCurrentProcessId()) + L"-";
    for (unsigned n = 1; n <= 100; ++n) {
      std::wstring path = stem + std::to_wstring(n) + L".tmp";
      file = FileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file.Valid()) {
        path_ = std::move(path);
        return true;
      }
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
  }
  const std::wstring& Path() const { return path_; }
  void Keep() { path_.clear(); }

 private:
  std::wstring path_;
};

}  // namespace

namespace seams {

void RefuseFastListing(bool refuse) {
  g_refuseFastListing = refuse;
  g_fastListing = FastListing::kUnknown;
}

void FailNextWriteAfter(std::size_t bytes) {
  g_failNextWriteAfter = bytes;
}

}  // namespace seams

bool ToWidePath(std::string_view path, std::wstring& wide) {
  std::string extended;
  wide.clear();
  if (!ToExtendedPath(path, extended)) {
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  if (extended.empty()) return true;
  const int length = ::MultiByteToWideChar(kGbk, 0, extended.data(),
                                           static_cast<int>(extended.size()), nullptr, 0);
  if (length <= 0) return false;
  wide.resize(static_cast<std::size_t>(length));
  ::MultiByteToWideChar(kGbk, 0, extended.data(), static_cast<int>(extended.size()), wide.data(),
                        length);
  return true;
}

OpResult Win32FileSystem::RenameFile(const std::string& from, const std::string& to) {
  if (!IsAcceptableRename(from, to)) return OpResult::Failure(error::kInvalidName);
  if (!ToWidePath(from, from_) || !ToWidePath(to, to_)) return LastFailure();
  // No flag: no copy where the target lies on another device (a copy and a
  // delete can pour a file into a device), and no replacing.
  if (!::MoveFileExW(from_.c_str(), to_.c_str(), 0)) return LastFailure();
  return OpResult::Success();
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  if (!ToWidePath(path, from_)) return std::nullopt;
  const DWORD attributes = ::GetFileAttributesW(from_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes & attr::kKept;
}

std::unique_ptr<FolderEnumeration> Win32FileSystem::EnumerateFolder(const std::string& pattern) {
  if (!ToWidePath(pattern, from_)) return nullptr;
  WIN32_FIND_DATAW data;
  FindHandle handle(OpenListing(from_, data));
  if (!handle.Valid()) {
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::make_unique<NoEntries>();
    return nullptr;
  }
  return std::make_unique<FindEnumeration>(std::move(handle), data);
}

OpResult Win32FileSystem::ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (!ToWidePath(path, from_)) return LastFailure();
  FileHandle file(::CreateFileW(from_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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
  const std::optional<std::size_t> failAfter = g_failNextWriteAfter;
  g_failNextWriteAfter.reset();
  if (path.empty()) return OpResult::Failure(ERROR_PATH_NOT_FOUND);
  if (!ToWidePath(path, to_)) return LastFailure();
  // Never over a folder, a read-only file, or a hidden or system one:
  // Windows' own CREATE_ALWAYS refuses those, and the user chose a file to
  // replace, not one the system keeps. Asking first gives the same answer
  // where the system would not (Wine running as root writes anyway).
  const DWORD existing = ::GetFileAttributesW(to_.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                   FILE_ATTRIBUTE_SYSTEM))) {
    return OpResult::Failure(ERROR_ACCESS_DENIED);
  }
  // The bytes go to a file of their own beside the target, on the same
  // volume, and only a file written whole takes its place: a disk that
  // fills up or a share that goes away part-way leaves the old file as it
  // was. The temporary file is closed before it is removed or moved.
  TempFile temp;
  FileHandle file;
  if (!temp.Create(to_, file)) return LastFailure();
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD wrote = 0;
    if (failAfter && done + want > *failAfter) {
      const DWORD part = static_cast<DWORD>(*failAfter - done);
      if (part > 0) ::WriteFile(file.Get(), bytes.data() + done, part, &wrote, nullptr);
      return OpResult::Failure(ERROR_DISK_FULL);
    }
    if (!::WriteFile(file.Get(), bytes.data() + done, want, &wrote, nullptr)) return LastFailure();
    done += wrote;
  }
  if (!::FlushFileBuffers(file.Get())) return LastFailure();
  file.Reset();
  if (!::MoveFileExW(temp.Path().c_str(), to_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return LastFailure();
  }
  temp.Keep();
  return OpResult::Success();
}

std::string Win32FileSystem::DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(
          ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return {};
  }
  std::string folder;
  ToGbk(path, folder);
  if (!folder.empty() && !text::EndsWithChar(folder, '\\')) folder += '\\';
  return folder;
}

}  // namespace renamora::win32
