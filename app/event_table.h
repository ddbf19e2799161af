// The one place where a control event meets a command.
#pragma once

#include <string>
#include <string_view>

#include "command/context.h"

namespace renamora {

enum class Event { kWindowCreated, kClick, kFilesDropped };

// The control name under which the main window raises its created event.
inline constexpr const char kMainWindowName[] = "主窗口";

using Command = void (*)(Context& ctx, const std::string& eventText);

struct EventBinding {
  const char* control;
  Event event;
  // What the window's title calls the command while it runs long; nullptr
  // for a command that is never long.
  const char* activity;
  Command command;
};

extern const EventBinding kEventTable[];
extern const std::size_t kEventTableSize;

// The binding for (control, event), or nullptr: most controls only hold state.
const EventBinding* FindBinding(std::string_view control, Event event);

// What a command that could not finish says, in a box of its own.
inline constexpr const char kOutOfMemoryMessage[] = "内存不足，操作未完成";
inline constexpr const char kUnfinishedMessage[] = "出现错误，操作未完成";

// Runs the command bound to (control, event) to its end; a command cut
// short by an exception is reported in a message box. False when nothing
// is bound there.
bool RaiseEvent(Context& ctx, std::string_view control, Event event,
                const std::string& eventText = {});

// The window-created handler: binds both drop objects and fits both lists.
void PrepareMainWindow(Context& ctx);

}  // namespace renamora
