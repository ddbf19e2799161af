#include "app/event_table.h"

#include "filelist/file_loading.h"
#include "rename/insert_text.h"
#include "rename/match_rename.h"
#include "rename/match_rules.h"

namespace renamora {

void PrepareMainWindow(Context& ctx) {
  // A failed binding is not reported: that window then takes no drops.
  ctx.ui.拖放对象1.Bind(ctx.ui.mainWindow);
  ctx.ui.拖放对象1.SetAcceptFiles(true);
  ctx.ui.拖放对象2.Bind(ctx.ui.ruleListWindow);
  ctx.ui.拖放对象2.SetAcceptFiles(true);
  FitColumnsToContent(ctx.ui.超级列表框1);
  FitColumnsToContent(ctx.ui.超级列表框2);
}

namespace {
void OnCreated(Context& ctx, const std::string&) {
  PrepareMainWindow(ctx);
}
void OnFilesDropped(Context& ctx, const std::string& text) {
  LoadDroppedFiles(ctx, text);
}
void OnClear(Context& ctx, const std::string&) {
  ClearFileList(ctx);
}
void OnClearFiles(Context& ctx, const std::string&) {
  ClearFilesAndCounters(ctx);
}
void OnInsertTextRename(Context& ctx, const std::string&) {
  InsertTextRename(ctx);
}
void OnInsertTextRestore(Context& ctx, const std::string&) {
  InsertTextRestore(ctx);
}
void OnRulesDropped(Context& ctx, const std::string& text) {
  LoadDroppedRules(ctx, text);
}
void OnClearRules(Context& ctx, const std::string&) {
  ClearRules(ctx);
}
void OnExportTemplate(Context& ctx, const std::string&) {
  ExportTemplate(ctx);
}
void OnMatchRename(Context& ctx, const std::string&) {
  MatchRename(ctx);
}
void OnMatchRestore(Context& ctx, const std::string&) {
  MatchRestore(ctx);
}
}  // namespace

// clang-format off
const EventBinding kEventTable[] = {
  {kMainWindowName, Event::kWindowCreated, OnCreated},
  {"拖放对象1",     Event::kFilesDropped,  OnFilesDropped},
  {"按钮3",         Event::kClick,         OnClear},
  {"按钮6",         Event::kClick,         OnClearFiles},
  {"按钮1",         Event::kClick,         OnInsertTextRename},
  {"按钮2",         Event::kClick,         OnInsertTextRestore},
  {"拖放对象2",     Event::kFilesDropped,  OnRulesDropped},
  {"按钮7",         Event::kClick,         OnClearRules},
  {"按钮11",        Event::kClick,         OnExportTemplate},
  {"按钮4",         Event::kClick,         OnMatchRename},
  {"按钮5",         Event::kClick,         OnMatchRestore},
};
// clang-format on
const std::size_t kEventTableSize = sizeof(kEventTable) / sizeof(kEventTable[0]);

const EventBinding* FindBinding(std::string_view control, Event event) {
  for (std::size_t i = 0; i < kEventTableSize; ++i) {
    if (kEventTable[i].event == event && control == kEventTable[i].control) return &kEventTable[i];
  }
  return nullptr;
}

bool RaiseEvent(Context& ctx, std::string_view control, Event event, const std::string& eventText) {
  const EventBinding* binding = FindBinding(control, event);
  if (!binding) return false;
  binding->command(ctx, eventText);
  return true;
}

}  // namespace renamora
