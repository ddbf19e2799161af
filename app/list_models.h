// The two list models as the layout table starts them: column titles and
// initial widths. The program holds one of each for the life of the window.
#pragma once

#include "platform/list_model.h"

namespace renamora {

FileList MakeFileList();
RuleList MakeRuleList();

}  // namespace renamora
