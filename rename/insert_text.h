// The "常规改名" page: one text inserted before or after every listed file
// name, and the way back.
#pragma once

#include <string>
#include <string_view>

#include "command/context.h"

namespace renamora {

enum class InsertPosition { kBefore, kAfter };

// The boxes' labels, as a message about what they hold names them.
inline constexpr const char kInsertTextLabel[] = "要加入的文本";
inline constexpr const char kSeparatorLabel[] = "分隔符";

// Appends the new name to `out`. Before: text + separator + name. After:
// base + separator + text + extension, so a name without a "." gets
// separator + text in front of it ('README' becomes '-XREADME'). The
// commands put it straight behind the folder to make the target path,
// without building it apart first.
void AppendInsertedName(std::string& out, std::string_view name, std::string_view text,
                        std::string_view separator, InsertPosition position);

// What AppendInsertedName puts into a name: text + separator before it,
// separator + text after it; the way back takes it off again.
std::string InsertedText(std::string_view text, std::string_view separator,
                         InsertPosition position);

// The way back for a name that nothing tells the history of: appends to
// `out` the name with `inserted` (InsertedText) taken off where
// AppendInsertedName puts it, as often as it stands there in a row: from
// the start of the name before, from the end of the part before the
// extension after (from the start of a name without a ".", which it went in
// front of). 'X-X-a.txt' gives 'a.txt' before, 'a-X-X.txt' gives 'a.txt'
// after; a name it does not stand so in is appended as it is, since the
// same text elsewhere ('DSC_1001.jpg' holds "_1") is part of the name.
// False, appending nothing, when taking it off would leave no name or
// nothing before the extension ('Beach.jpg' without "Beach").
bool AppendNameWithoutInserted(std::string& out, std::string_view name, std::string_view inserted,
                               InsertPosition position);

// 按钮1 "修改": inserts the text of 编辑框1 into every listed name and renames
// the files. Does nothing at all when that text is empty.
void InsertTextRename(Context& ctx);

// 按钮2 "还原": renames every listed file back to "原名", or, where the row
// shows one name in both columns, takes the inserted text off that name
// (AppendNameWithoutInserted).
void InsertTextRestore(Context& ctx);

}  // namespace renamora
