// Writing a file where the user says, the same way for every file the
// program writes.
#pragma once

#include <string_view>

#include "platform/controls.h"

namespace renamora {

// Opens `dialog` on the desktop folder (set afresh at every use) and, when
// the user confirms, writes `bytes` to the chosen file. A failed write is
// reported; success and cancel are silent.
void SaveAs(Context& ctx, SaveDialog& dialog, std::string_view bytes);

}  // namespace renamora
