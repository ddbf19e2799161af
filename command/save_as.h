// Writing a file where the user says, the same way for every file the
// program writes.
#pragma once

#include <string>
#include <string_view>

#include "command/context.h"

namespace renamora {

// The text of the box that reports a file the program could not write.
inline std::string WriteFailedMessage(const std::string& path) {
  return "文件无法写入：\r\n" + path;
}

// Opens `dialog` on the desktop folder (set afresh at every use) and, when
// the user confirms, writes `bytes` to the chosen file. A failed write is
// reported; success and cancel are silent.
void SaveAs(Context& ctx, SaveDialog& dialog, std::string_view bytes);

}  // namespace renamora
