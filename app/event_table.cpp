#include "app/event_table.h"

#include <exception>
#include <new>

#include "export/name_export.h"
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

using Text = const std::string&;

// clang-format off
const EventBinding kEventTable[] = {
  {kMainWindowName, Event::kWindowCreated, nullptr,     [](Context& c, Text) { PrepareMainWindow(c); }},
  {"拖放对象1",     Event::kFilesDropped,  "载入",      [](Context& c, Text dropped) { LoadDroppedFiles(c, dropped); }},
  {"按钮3",         Event::kClick,         nullptr,     [](Context& c, Text) { ClearFileList(c); }},
  {"按钮6",         Event::kClick,         nullptr,     [](Context& c, Text) { ClearFilesAndCounters(c); }},
  {"按钮1",         Event::kClick,         "修改",      [](Context& c, Text) { InsertTextRename(c); }},
  {"按钮2",         Event::kClick,         "还原",      [](Context& c, Text) { InsertTextRestore(c); }},
  {"拖放对象2",     Event::kFilesDropped,  "载入规则",  [](Context& c, Text dropped) { LoadDroppedRules(c, dropped); }},
  {"按钮7",         Event::kClick,         nullptr,     [](Context& c, Text) { ClearRules(c); }},
  {"按钮11",        Event::kClick,         nullptr,     [](Context& c, Text) { ExportTemplate(c); }},
  {"按钮4",         Event::kClick,         "修改",      [](Context& c, Text) { MatchRename(c); }},
  {"按钮5",         Event::kClick,         "还原",      [](Context& c, Text) { MatchRestore(c); }},
  {"按钮8",         Event::kClick,         "导出",      [](Context& c, Text) { ExportNameList(c, ExportSelection::kAll); }},
  {"按钮9",         Event::kClick,         "导出",      [](Context& c, Text) { ExportNameList(c, ExportSelection::kSucceeded); }},
  {"按钮10",        Event::kClick,         "导出",      [](Context& c, Text) { ExportNameList(c, ExportSelection::kFailed); }},
};
// clang-format on
const std::size_t kEventTableSize = sizeof(kEventTable) / sizeof(kEventTable[0]);

namespace {

std::string UnfinishedMessage(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return kOutOfMemoryMessage;
  } catch (...) {
    return kUnfinishedMessage;
  }
}

}  // namespace

const EventBinding* FindBinding(std::string_view control, Event event) {
  for (std::size_t i = 0; i < kEventTableSize; ++i) {
    if (kEventTable[i].event == event && control == kEventTable[i].control) return &kEventTable[i];
  }
  return nullptr;
}

bool RaiseEvent(Context& ctx, std::string_view control, Event event, const std::string& eventText) {
  const EventBinding* binding = FindBinding(control, event);
  if (!binding) return false;
  try {
    binding->command(ctx, eventText);
  } catch (...) {
    // Every command keeps the lists whole and each row true to the disk
    // whenever it is cut short; the user is told that it did not finish.
    try {
      ctx.messages.Show(UnfinishedMessage(std::current_exception()), MessageButtons::kOk,
                        kMessageCaption);
    } catch (...) {
      // Not even a box could be shown: the lists still say what happened.
    }
  }
  return true;
}

}  // namespace renamora
