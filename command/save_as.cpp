#include "command/save_as.h"

namespace renamora {

void SaveAs(Context& ctx, SaveDialog& dialog, std::string_view bytes) {
  dialog.SetInitialFolder(ctx.fs.DesktopFolder());
  // A stop asked for while the dialog was up writes nothing.
  if (!dialog.Show() || !ctx.progress.AfterBox()) return;
  if (const char32_t unusable = dialog.UnusableCharacter()) {
    ctx.messages.ShowNaming("文件名含有无法使用的字符：", unusable, kMessageCaption);
    return;
  }
  const std::string path = dialog.FileName();
  if (!ctx.fs.WriteWholeFile(path, bytes)) {
    ctx.messages.Show(WriteFailedMessage(path), MessageButtons::kOk, kMessageCaption);
  }
}

}  // namespace renamora
