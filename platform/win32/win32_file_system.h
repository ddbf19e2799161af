// The file system of the running Windows, through the Unicode functions and
// the extended-length form of every path.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace renamora::win32 {

// `path` (GBK) in the extended form as UTF-16, into `wide`; false when it is
// too long for that form.
bool ToWidePath(std::string_view path, std::wstring& wide);

class Win32FileSystem final : public FileSystem {
 public:
  OpResult RenameFile(const std::string& from, const std::string& to) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::unique_ptr<FolderEnumeration> EnumerateFolder(const std::string& pattern) override;
  OpResult ReadWholeFile(const std::string& path, std::string& bytes) override;
  OpResult WriteWholeFile(const std::string& path, std::string_view bytes) override;
  std::string DesktopFolder() override;

 private:
  // The UTF-16 forms of the paths of the call at hand, their room kept.
  std::wstring from_;
  std::wstring to_;
};

}  // namespace renamora::win32
