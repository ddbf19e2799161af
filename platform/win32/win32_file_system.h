// The file system of the running Windows, through the ANSI functions.
#pragma once

#include "platform/file_system.h"

namespace renamora::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  OpResult RenameFile(const std::string& from, const std::string& to) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::unique_ptr<FolderEnumeration> EnumerateFolder(const std::string& pattern) override;
  OpResult ReadWholeFile(const std::string& path, std::string& bytes) override;
  OpResult WriteWholeFile(const std::string& path, std::string_view bytes) override;
  std::string DesktopFolder() override;
};

}  // namespace renamora::win32
