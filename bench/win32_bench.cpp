// The commands through the real main window, on real files, each against the
// bare file-system work it stands on. The window is created in this process
// (under Wine with the headless driver when `make bench` runs it) and driven
// as the shell and a user drive it: a real drop of a folder, clicks on its
// buttons. Writes one CSV row per figure and per ratio
// (metric,value,unit,target,met) to the file named by --csv=PATH.
//
// The tree is generated in a temporary folder: BENCH_FILES files (default
// 20,000) in folders of 1,000, with Chinese names. Each figure is the median
// of BENCH_RUNS runs (default and least 5), a command's runs alternating with
// those of its bare counterpart, and each ratio the median of the ratios of
// a command run to the bare run that follows it.
//
// The peak working set is measured in processes of their own (this program
// started again with --child=empty or --child=full), so that nothing of the
// other figures is in it, and so is the capacity: the whole tree loaded,
// renamed and restored in one process (--child=capacity), which
// BENCH_FILES=1000000 asks for in place of the timed parts.
// --only=load,rename,export,peak,capacity picks parts.

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/event_table.h"
#include "bench/bench_tree.h"
#include "export/name_export.h"
#include "platform/win32/win32_file_system.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"
#include "tests/support/win32/thread.h"

namespace {

using renamora::testing::DropFiles;
using renamora::testing::ListRowCount;
using renamora::testing::ModalAnswerer;
using renamora::testing::RealWindow;
using renamora::testing::Thread;
using namespace renamora::bench;

constexpr std::size_t kDefaultFiles = 20000;
constexpr std::size_t kFilesPerFolder = 1000;
constexpr int kLeastRuns = 5;
constexpr char kTreeName[] = "基准树";
constexpr char kInsertedText[] = "已审";
constexpr char kExportName[] = "文件名.csv";
// The size the working-set target is set for, and the target.
constexpr std::size_t kPeakRows = 100000;
// The size from which the benchmark asks only whether the program holds the
// list (and its peak at kPeakRows).
constexpr std::size_t kCapacityFiles = 1000000;
constexpr double kPeakTargetMb = 64;
constexpr double kPeakTargetBytesPerRow = 100;
constexpr double kCapacityPeakTargetMb = 150;

constexpr double kLoadTarget = 1.3;
constexpr double kRenameTarget = 1.1;
constexpr double kExportTarget = 2;
// The longest a long command may keep the system waiting for the window's
// answer: past that a user takes the window for frozen.
constexpr double kAnswerTargetMs = 200;

// --- small things ---------------------------------------------------------------

std::size_t SizeFromEnvironment(const char* name, std::size_t fallback) {
  const char* value = std::getenv(name);
  if (!value || !*value) return fallback;
  char* end = nullptr;
  const unsigned long long n = std::strtoull(value, &end, 10);
  return end && *end == '\0' && n > 0 ? static_cast<std::size_t>(n) : fallback;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

template <typename Work>
double Milliseconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The longest another thread waited for the window to answer while `work`
// ran on the window's own thread: what the system (and the user) sees of a
// long command. A figure, not a check: a busy machine makes it long.
template <typename Work>
double LongestUnanswered(HWND window, Work&& work) {
  std::atomic<bool> ended{false};
  std::atomic<DWORD> slowest{0};
  Thread system([&] {
    while (!ended) {
      const DWORD before = ::GetTickCount();
      DWORD_PTR result = 0;
      ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
      slowest = std::max<DWORD>(slowest, ::GetTickCount() - before);
      ::Sleep(20);
    }
  });
  work();
  ended = true;
  system.join();
  return slowest;
}

// The console of `make bench` is a UTF-8 terminal; the program's texts are
// GBK.
std::string ForConsole(const std::string& text) {
  const int length = static_cast<int>(text.size());
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wide <= 0) return text;
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, utf16.data(), wide);
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

void Say(const std::string& line) {
  std::printf("%s\n", ForConsole(line).c_str());
  std::fflush(stdout);
}

std::string Fixed(double value) {
  char number[64];
  std::snprintf(number, sizeof(number), value < 10 ? "%.2f" : "%.1f", value);
  return number;
}

// Every check that failed: a figure is only worth reporting when the
// command did its work.
std::vector<std::string> g_failures;

bool Check(bool held, const std::string& what) {
  if (!held) {
    g_failures.push_back(what);
    std::fprintf(stderr, "FAILED: %s\n", ForConsole(what).c_str());
  }
  return held;
}

// --- the results --------------------------------------------------------------------

class Results {
 public:
  void Row(const std::string& metric, double value, const char* unit, double target = 0) {
    csv_ += metric + "," + Fixed(value) + "," + unit + ",";
    if (target > 0) {
      char limit[64];
      std::snprintf(limit, sizeof(limit), "%g", target);
      csv_ += std::string(limit) + "," + (value <= target ? "yes" : "no");
    } else {
      csv_ += ",";
    }
    csv_ += "\n";
  }

  // A command's runs, its bare counterpart's runs, and the ratio of each
  // pair: three rows.
  void Pair(const std::string& metric, const char* bareName, const std::vector<double>& command,
            const std::vector<double>& bare, double target) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < command.size() && i < bare.size(); ++i) {
      if (bare[i] > 0) ratios.push_back(command[i] / bare[i]);
    }
    if (ratios.empty()) return;
    const double ratio = Median(ratios);
    Row(metric, Median(command), "ms");
    Row(metric + "/" + bareName, Median(bare), "ms");
    Row(metric + "/ratio", ratio, "ratio", target);
    Say("  " + metric + ": " + Fixed(Median(command)) + " ms, bare " + Fixed(Median(bare)) +
        " ms, ratio " + Fixed(ratio) + (ratio <= target ? "" : "  (target " + Fixed(target) + ")"));
  }

  // Runs that explain a figure: their median alone.
  void Part(const std::string& metric, const std::vector<double>& runs) {
    if (runs.empty()) return;
    Row(metric, Median(runs), "ms");
    Say("    " + metric + ": " + Fixed(Median(runs)) + " ms");
  }

  const std::string& Csv() const { return csv_; }

 private:
  std::string csv_ = "metric,value,unit,target,met\n";
};

// --- the tree --------------------------------------------------------------------------

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

// The benchmark's own folder in the temporary folder: the tree, the rule
// files and the exported file. Created whole, removed whole.
class Workspace {
 public:
  explicit Workspace(std::size_t files) : files_(files) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    // What an earlier run left behind when it was stopped.
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((std::string(temp) + "renamora-bench-*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(std::string(temp) + data.cFileName);
        }
      } while (::FindNextFileA(find, &data));
      ::FindClose(find);
    }
    base_ = std::string(temp) + "renamora-bench-" + std::to_string(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(base_.c_str(), nullptr);
    root_ = base_ + kTreeName;
    ::CreateDirectoryA(root_.c_str(), nullptr);
  }
  ~Workspace() { RemoveTree(base_.substr(0, base_.size() - 1)); }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  bool MakeFiles() { return GrowTo(files_); }

  // Makes the tree hold `count` files at least, the ones added named and
  // placed as the first ones are (the timed parts use only the first
  // Files()).
  bool GrowTo(std::size_t count) {
    std::string folder;
    for (std::size_t row = made_; row < count; ++row) {
      if (row % kFilesPerFolder == 0 || folder.empty()) {
        folder = root_ + "\\文件夹" + ZeroPadded(row / kFilesPerFolder + 1, 4) + "\\";
        if (!::CreateDirectoryA(folder.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
          return false;
        }
      }
      HANDLE file = ::CreateFileA((folder + FileName(row)).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr);
      if (file == INVALID_HANDLE_VALUE) return false;
      ::CloseHandle(file);
      made_ = row + 1;
    }
    return true;
  }

  // A rule file of `rules` rules under a header line.
  std::string MakeRuleFile(std::size_t rules) {
    const std::string path = base_ + "规则" + std::to_string(rules) + ".csv";
    renamora::win32::Win32FileSystem fs;
    Check(static_cast<bool>(fs.WriteWholeFile(path, RuleFileBytes(rules))), "writing " + path);
    return path;
  }

  std::size_t Files() const { return files_; }
  const std::string& Base() const { return base_; }
  // The tree's root as a drop names it: without a trailing backslash.
  const std::string& Root() const { return root_; }

 private:
  std::size_t files_;
  std::size_t made_ = 0;
  std::string base_;
  std::string root_;
};

// --- the bare work ------------------------------------------------------------------

// Collects the path of every file below `folder`, depth first.
void BareWalk(const std::string& folder, std::vector<std::string>& paths) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (data.cFileName[0] == '.' &&
        (data.cFileName[1] == '\0' || (data.cFileName[1] == '.' && data.cFileName[2] == '\0'))) {
      continue;
    }
    std::string path = folder + "\\" + data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      BareWalk(path, paths);
    } else {
      paths.push_back(std::move(path));
    }
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

// Renames from[i] to to[i]; the number that failed.
std::size_t BareMoves(const std::vector<std::string>& from, const std::vector<std::string>& to) {
  std::size_t failed = 0;
  for (std::size_t i = 0; i < from.size(); ++i) {
    if (!::MoveFileA(from[i].c_str(), to[i].c_str())) ++failed;
  }
  return failed;
}

// The steps that replace a file whole or not at all, with nothing around
// them: the bytes into a file beside it, on the disk, then in its place.
bool BareWrite(const std::string& path, const std::string& bytes) {
  const std::string beside = path + ".new";
  HANDLE file = ::CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const BOOL ok =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
      ::FlushFileBuffers(file);
  ::CloseHandle(file);
  return ok && wrote == bytes.size() &&
         ::MoveFileExA(beside.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// The least an export can do: every row's name and status copied side by
// side into fresh memory, without looking for dots, commas or quotes.
std::string BareGather(const renamora::FileList& rows) {
  std::size_t size = 0;
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    size += rows.CurrentName(r).size() + renamora::StatusText(rows.StatusOf(r)).size() + 3;
  }
  std::string text(size, '\0');
  char* out = text.data();
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    const std::string_view name = rows.CurrentName(r);
    std::memcpy(out, name.data(), name.size());
    out += name.size();
    *out++ = ',';
    const std::string& status = renamora::StatusText(rows.StatusOf(r));
    std::memcpy(out, status.data(), status.size());
    out += status.size();
    *out++ = '\r';
    *out++ = '\n';
  }
  return text;
}

// --- the save dialogs and message boxes, answered here ------------------------------------

// The export's figure runs from the click to the end of the write. The
// system's save dialog would put a person's reaction in it, so the window
// is given dialogs that confirm this path at once, through the same seam
// that gives the program the system's dialog.
std::string g_saveAnswer;
int g_saveDialogs = 0;

class AnsweredSaveDialog final : public renamora::SaveDialog {
 public:
  explicit AnsweredSaveDialog(std::string fileName) : fileName_(std::move(fileName)) {}
  void SetInitialFolder(const std::string&) override {}
  bool Show() override {
    ++g_saveDialogs;
    fileName_ = g_saveAnswer;
    return true;
  }
  std::string FileName() const override { return fileName_; }
  char32_t UnusableCharacter() const override { return 0; }

 private:
  std::string fileName_;
};

class AnsweredSaveDialogs final : public renamora::win32::SaveDialogFactory {
 public:
  std::unique_ptr<renamora::SaveDialog> Make(HWND, std::string fileName, std::string,
                                             std::string) override {
    return std::make_unique<AnsweredSaveDialog>(std::move(fileName));
  }
};

// A message box that nobody answers would stop the benchmark for good. Only
// the rule drops expect one (the header question, shown by the system and
// answered by a ModalAnswerer); any other is a failure, closed at once as
// its close box closes it.
bool g_boxExpected = false;

class GuardedMessageBoxes final : public renamora::MessageBoxes {
 public:
  renamora::MessageAnswer Show(const std::string& text, renamora::MessageButtons buttons,
                               const std::string& caption) override {
    if (g_boxExpected) return system_.Show(text, buttons, caption);
    Check(false, "a message box came unasked: " + text);
    switch (buttons) {
      case renamora::MessageButtons::kOk:
        return renamora::MessageAnswer::kOk;
      case renamora::MessageButtons::kOkCancel:
        return renamora::MessageAnswer::kCancel;
      case renamora::MessageButtons::kYesNo:
        break;
    }
    return renamora::MessageAnswer::kNo;
  }
  void ShowNaming(const std::string& text, char32_t, const std::string&) override {
    Check(false, "a message box came unasked: " + text);
  }

 private:
  renamora::win32::Win32MessageBoxes system_;
};

// --- the window ---------------------------------------------------------------------

class Window {
 public:
  Window() : app_(messages_, saveDialogs_), list_(app_.Handle("超级列表框1")) {}

  // Paints whatever is waiting and takes every queued message, so that
  // nothing left from before lands in the next timed run.
  void Settle() {
    ::RedrawWindow(app_.Main(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }

  // A drop from the shell onto the File list, the list painted once.
  void Drop(const std::vector<std::string>& paths) {
    DropFiles(app_.Main(), paths, RealWindow::Centre(app_.Rect("超级列表框1")));
    ::UpdateWindow(list_);
  }

  // A click on a button of the page it lies on, the list painted once.
  void Click(const char* button) {
    ::SendMessageA(app_.Handle(button), BM_CLICK, 0, 0);
    ::UpdateWindow(list_);
  }
  // A click whose command changes no row: nothing to show.
  void ClickOnly(const char* button) { ::SendMessageA(app_.Handle(button), BM_CLICK, 0, 0); }

  void ShowPage(int page) { app_.window.ShowPage(page); }
  // An event run straight through the event table, as the window runs it
  // but without the button or drop that raises it and without bringing the
  // lists up to date: what the command alone costs.
  void RaiseOnly(const char* control, renamora::Event event, const std::string& text = {}) {
    renamora::RaiseEvent(app_.window.context(), control, event, text);
  }
  void UpdateLists() { app_.window.UpdateLists(); }
  const renamora::FileList& Rows() { return app_.window.fileList(); }
  void Type(const char* box, const char* text) { ::SetWindowTextA(app_.Handle(box), text); }

  // A rule file dropped on the Rule list, its header skipped as a user
  // skips it: OK at the question.
  bool DropRules(const std::string& path, std::size_t rules) {
    ModalAnswerer answerer;
    answerer.Press(IDOK);
    g_boxExpected = true;
    answerer.Run([&] { DropFiles(app_.Handle("超级列表框2"), {path}, {20, 60}); });
    g_boxExpected = false;
    return answerer.Boxes().size() == 1 && answerer.Boxes()[0].planned &&
           app_.window.ruleList().RowCount() == rules;
  }

  // Where each row takes its file to be now.
  std::vector<std::string> CurrentPaths() {
    std::vector<std::string> paths;
    const renamora::FileList& rows = app_.window.fileList();
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
      paths.push_back(std::string(rows.Folder(r)).append(rows.CurrentName(r)));
    }
    return paths;
  }
  bool AllStatuses(renamora::Status status) {
    const renamora::FileList& rows = app_.window.fileList();
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
      if (rows.StatusOf(r) != status) return false;
    }
    return true;
  }
  std::size_t ShownRows() const { return static_cast<std::size_t>(ListRowCount(list_)); }
  std::string Text(const char* control) const { return app_.Text(control); }
  HWND List() const { return list_; }
  HWND Main() const { return app_.Main(); }

 private:
  GuardedMessageBoxes messages_;
  AnsweredSaveDialogs saveDialogs_;
  RealWindow app_;
  HWND list_;
};

// --- the measurements ---------------------------------------------------------------

struct Runs {
  std::vector<double> command;
  std::vector<double> bare;
};

std::string Metric(const std::string& command, std::size_t files, const std::string& variant = "") {
  return "win32/" + command + "/" + std::to_string(files) + variant;
}

void MeasureLoad(Window& window, const Workspace& space, int runs, Results& results) {
  const std::size_t files = space.Files();
  const std::string loaded = "载入" + std::to_string(files) + "个文件";
  auto checkLoad = [&](const char* what) {
    Check(window.ShownRows() == files && window.Text("标签4") == loaded,
          std::string(what) + ": the list does not show every file");
  };
  std::vector<std::string> paths;
  auto bare = [&] {
    paths = std::vector<std::string>();
    const double ms = Milliseconds([&] { BareWalk(space.Root(), paths); });
    Check(paths.size() == files, "the bare walk did not find every file");
    return ms;
  };
  auto clear = [&] {
    window.ShowPage(1);
    window.ClickOnly("按钮3");
    Check(window.ShownRows() == 0, "\"清空\" (按钮3) left rows");
    window.Settle();
  };

  // One of each first, unmeasured: the first painting of the list loads
  // its fonts, and the first walk brings the folders into the caches.
  window.Drop({space.Root()});
  bare();

  Runs over;   // a drop over the last load, which it replaces row for row
  Runs empty;  // a drop on a list emptied by "清空", as the first drop is
  std::vector<double> commandOnly;
  std::vector<double> listUpdate;
  std::vector<double> listPaint;
  for (int run = 0; run < runs; ++run) {
    window.Settle();
    over.command.push_back(Milliseconds([&] { window.Drop({space.Root()}); }));
    checkLoad("drop over the last load");
    over.bare.push_back(bare());

    clear();
    empty.command.push_back(Milliseconds([&] { window.Drop({space.Root()}); }));
    checkLoad("drop on an emptied list");
    empty.bare.push_back(bare());

    // The same drop in its parts: the command alone, then the list view
    // taking the new rows and widths, then its painting.
    clear();
    commandOnly.push_back(Milliseconds(
        [&] { window.RaiseOnly("拖放对象1", renamora::Event::kFilesDropped, space.Root()); }));
    Check(window.Rows().RowCount() == files, "the drop's command did not load every file");
    listUpdate.push_back(Milliseconds([&] { window.UpdateLists(); }));
    listPaint.push_back(Milliseconds([&] { ::UpdateWindow(window.List()); }));
    checkLoad("the drop in parts");
  }
  results.Pair(Metric("LoadDroppedFiles", files), "bare_walk", over.command, over.bare,
               kLoadTarget);
  results.Pair(Metric("LoadDroppedFiles", files, "/emptylist"), "bare_walk", empty.command,
               empty.bare, kLoadTarget);
  results.Part(Metric("LoadDroppedFiles", files, "/emptylist/command_only"), commandOnly);
  results.Part(Metric("LoadDroppedFiles", files, "/emptylist/list_update"), listUpdate);
  results.Part(Metric("LoadDroppedFiles", files, "/emptylist/list_paint"), listPaint);

  // The loaded list scrolled to its last row, then a hundred pages up, each
  // painted: the view asks only for the rows it shows, however many there are.
  HWND list = window.List();
  std::vector<double> toEnd;
  std::vector<double> pagesUp;
  for (int run = 0; run < runs; ++run) {
    ::SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    ::UpdateWindow(list);
    toEnd.push_back(Milliseconds([&] {
      ::SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(files - 1), FALSE);
      ::UpdateWindow(list);
    }));
    pagesUp.push_back(Milliseconds([&] {
      for (int page = 0; page < 100; ++page) {
        ::SendMessageA(list, WM_VSCROLL, SB_PAGEUP, 0);
        ::UpdateWindow(list);
      }
    }));
  }
  results.Part(Metric("ListScroll", files, "/to_last_row"), toEnd);
  results.Part(Metric("ListScroll", files, "/100_pages_up"), pagesUp);
}

// One rename command and its restore, each timed, with the same renames as
// bare MoveFileA loops between them:
//   the command renames A to B; the bare loop moves B to A, then A to B;
//   the restore renames B to A.
// The second bare loop makes the very moves of the rename, the first those
// of the restore, and each runs next to its command. Every pass leaves the
// files where the rows say they are, ready for the next run.
class RenameCycle {
 public:
  RenameCycle(Window& window, const char* rename, renamora::Status renamed, const char* restore)
      : window_(window), rename_(rename), renamed_(renamed), restore_(restore) {}

  void Run(const std::string& what) {
    const std::vector<std::string> before = window_.CurrentPaths();
    window_.Settle();
    renames.command.push_back(Milliseconds([&] { window_.Click(rename_); }));
    const std::vector<std::string> after = window_.CurrentPaths();
    bool renamedAll = window_.AllStatuses(renamed_) && after.size() == before.size();
    for (std::size_t i = 0; renamedAll && i < after.size(); ++i) renamedAll = after[i] != before[i];
    if (!Check(renamedAll, what + ": not every row was renamed")) return;

    std::size_t failed = 0;
    restores.bare.push_back(Milliseconds([&] { failed = BareMoves(after, before); }));
    Check(failed == 0, what + ": a bare rename failed");
    renames.bare.push_back(Milliseconds([&] { failed = BareMoves(before, after); }));
    Check(failed == 0, what + ": a bare rename failed");

    window_.Settle();
    restores.command.push_back(Milliseconds([&] { window_.Click(restore_); }));
    Check(window_.AllStatuses(renamora::Status::kDone) && window_.CurrentPaths() == before,
          what + ": not every row was restored");
  }

  Runs renames;
  Runs restores;

 private:
  Window& window_;
  const char* rename_;
  renamora::Status renamed_;
  const char* restore_;
};

void MeasureRenames(Window& window, Workspace& space, int runs, Results& results) {
  const std::size_t files = space.Files();
  // 常规改名: the text typed once, as a user types it.
  window.ShowPage(1);
  window.Type("编辑框1", kInsertedText);
  RenameCycle insert(window, "按钮1", renamora::Status::kDone, "按钮2");
  for (int run = 0; run < runs; ++run) insert.Run("InsertTextRename");
  results.Pair(Metric("InsertTextRename", files), "bare_moves", insert.renames.command,
               insert.renames.bare, kRenameTarget);
  results.Pair(Metric("InsertTextRestore", files), "bare_moves", insert.restores.command,
               insert.restores.bare, kRenameTarget);
  // One more rename and restore, with the system asking the window for an
  // answer all along: apart from the timed runs, which it would disturb.
  std::vector<double> unanswered;
  for (const char* button : {"按钮1", "按钮2"}) {
    window.Settle();
    unanswered.push_back(LongestUnanswered(window.Main(), [&] { window.Click(button); }));
  }
  const double longest = *std::max_element(unanswered.begin(), unanswered.end());
  results.Row(Metric("InsertTextRename", files, "/longest_unanswered"), longest, "ms",
              kAnswerTargetMs);
  Say("  longest wait for the window's answer during a rename or restore: " + Fixed(longest) +
      " ms" + (longest <= kAnswerTargetMs ? "" : "  (target " + Fixed(kAnswerTargetMs) + ")"));

  // 匹配改名 with 100 rules, then with a table of 10,000 product codes.
  window.ShowPage(0);
  for (std::size_t rules : {100, 10000}) {
    if (!Check(window.DropRules(space.MakeRuleFile(rules), rules),
               "loading " + std::to_string(rules) + " rules")) {
      return;
    }
    RenameCycle match(window, "按钮4", renamora::Status::kSucceeded, "按钮5");
    for (int run = 0; run < runs; ++run) match.Run("MatchRename");
    const std::string variant = rules == 100 ? "" : "/" + std::to_string(rules) + "rules";
    results.Pair(Metric("MatchRename", files, variant), "bare_moves", match.renames.command,
                 match.renames.bare, kRenameTarget);
    results.Pair(Metric("MatchRestore", files, variant), "bare_moves", match.restores.command,
                 match.restores.bare, kRenameTarget);
  }
}

void MeasureExport(Window& window, const Workspace& space, int runs, Results& results) {
  const std::size_t files = space.Files();
  g_saveAnswer = space.Base() + kExportName;
  window.ShowPage(2);
  renamora::win32::Win32FileSystem fs;
  std::string bytes;
  Runs exported;
  std::vector<double> commandOnly;
  std::vector<double> textOnly;
  std::vector<double> gather;
  // Each run writes a file that is not there yet, as the bare write does.
  auto exportBy = [&](auto&& click) {
    const int dialogs = g_saveDialogs;
    ::DeleteFileA(g_saveAnswer.c_str());
    window.Settle();
    const double ms = Milliseconds(click);
    bytes.clear();
    const bool wrote = g_saveDialogs == dialogs + 1 && fs.ReadWholeFile(g_saveAnswer, bytes);
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    return Check(wrote && lines == files, "the export did not write every row") ? ms : 0;
  };
  for (int run = 0; run < runs; ++run) {
    exported.command.push_back(exportBy([&] { window.ClickOnly("按钮8"); }));
    ::DeleteFileA(g_saveAnswer.c_str());
    bool same = false;
    exported.bare.push_back(Milliseconds([&] { same = BareWrite(g_saveAnswer, bytes); }));
    Check(same, "the bare write failed");

    // What the figure is made of: the command without the button, and the
    // text it writes; and the least any export must do before it writes.
    commandOnly.push_back(exportBy([&] { window.RaiseOnly("按钮8", renamora::Event::kClick); }));
    std::string text;
    textOnly.push_back(Milliseconds([&] {
      renamora::NoProgress unwatched;
      text = renamora::NameListText(window.Rows(), renamora::ExportSelection::kAll, true, unwatched)
                 .value_or("");
    }));
    Check(text == bytes, "the export's text differs from what it wrote");
    gather.push_back(Milliseconds([&] { text = BareGather(window.Rows()); }));
  }
  results.Pair(Metric("ExportNameList", files), "bare_write", exported.command, exported.bare,
               kExportTarget);
  results.Part(Metric("ExportNameList", files, "/command_only"), commandOnly);
  results.Part(Metric("ExportNameList", files, "/text_only"), textOnly);
  results.Part(Metric("ExportNameList", files, "/bare_gather"), gather);
}

// --- the peak working set, one process each -----------------------------------------

// Where a child run writes what it measured.
std::string ChildReport(const std::string& base, const std::string& mode) {
  return base + "子进程-" + mode + ".txt";
}

PROCESS_MEMORY_COUNTERS MemoryCounters() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))) counters = {};
  return counters;
}

// One drop of kPeakRows rows: the tree's first folders, which MeasurePeak
// makes sure hold them. A drop lists every file once, so no path named
// twice could make up for a smaller tree.
std::vector<std::string> PeakDrop(const std::string& root) {
  std::vector<std::string> paths;
  for (std::size_t folder = 0; folder * kFilesPerFolder < kPeakRows; ++folder) {
    paths.push_back(root + "\\文件夹" + ZeroPadded(folder + 1, 4));
  }
  return paths;
}

// In the child: the window, empty or after one drop of kPeakRows rows,
// painted, scrolled to its end and exported; then the process's peak.
int MeasurePeakHere(std::string base, bool full) {
  base += "\\";
  g_saveAnswer = base + (full ? "峰值满.csv" : "峰值空.csv");
  Window window;
  window.Settle();
  if (full) {
    window.Drop(PeakDrop(base + kTreeName));
    ::SendMessageA(window.List(), LVM_ENSUREVISIBLE, window.ShownRows() - 1, FALSE);
  }
  window.Settle();
  window.ShowPage(2);
  window.ClickOnly("按钮8");
  window.Settle();
  const PROCESS_MEMORY_COUNTERS counters = MemoryCounters();
  if (counters.cb == 0) return 2;
  const std::string report = std::to_string(counters.PeakWorkingSetSize) + " " +
                             std::to_string(window.ShownRows()) + "\r\n";
  renamora::win32::Win32FileSystem fs;
  if (!fs.WriteWholeFile(ChildReport(base, full ? "full" : "empty"), report)) return 3;
  return g_failures.empty() ? 0 : 1;
}

// Runs this program again with --child=`mode` on the workspace at `base`,
// and returns the report the child wrote; false when it failed.
bool RunChild(const std::string& base, const std::string& mode, std::string& report) {
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  // The folder goes without its trailing backslash, which would escape the
  // closing quote.
  std::string command = "\"" + std::string(exe) + "\" --child=" + mode +
                        " \"--base=" + base.substr(0, base.size() - 1) + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", ForConsole(command).c_str(),
                 ::GetLastError());
    return false;
  }
  // However long the child's work on the tree takes (a million renames
  // under Wine take about half an hour), it does not take this long.
  constexpr DWORD kPatienceMs = 4 * 60 * 60 * 1000;
  if (::WaitForSingleObject(process.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 1);
  }
  DWORD code = 1;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  if (code != 0) {
    std::fprintf(stderr, "%s ended with %lu\n", ForConsole(command).c_str(), code);
    return false;
  }
  renamora::win32::Win32FileSystem fs;
  return static_cast<bool>(fs.ReadWholeFile(ChildReport(base, mode), report));
}

// One peak, measured in a child: the peak in bytes and the rows it was
// taken at, or false.
bool PeakInChild(const std::string& base, bool full, double& bytes, std::size_t& rows) {
  std::string report;
  if (!RunChild(base, full ? "full" : "empty", report)) return false;
  unsigned long long peak = 0;
  unsigned long long shown = 0;
  if (std::sscanf(report.c_str(), "%llu %llu", &peak, &shown) != 2) return false;
  bytes = static_cast<double>(peak);
  rows = static_cast<std::size_t>(shown);
  return true;
}

void MeasurePeak(Workspace& space, int runs, Results& results) {
  constexpr double kMb = 1024.0 * 1024.0;
  std::vector<double> empty;
  std::vector<double> full;
  std::vector<double> above;
  std::size_t rows = 0;
  const std::size_t expected = kPeakRows;
  // A smaller tree grows to the rows the peak is measured at.
  if (!Check(space.GrowTo(kPeakRows),
             "making the peak's tree of " + std::to_string(kPeakRows) + " files")) {
    return;
  }
  for (int run = 0; run < runs; ++run) {
    double emptyBytes = 0;
    double fullBytes = 0;
    std::size_t none = 0;
    if (!Check(PeakInChild(space.Base(), false, emptyBytes, none) && none == 0,
               "measuring the empty window's peak") ||
        !Check(PeakInChild(space.Base(), true, fullBytes, rows) && rows == expected,
               "measuring the full window's peak")) {
      return;
    }
    empty.push_back(emptyBytes / kMb);
    full.push_back(fullBytes / kMb);
    above.push_back((fullBytes - emptyBytes) / kMb);
  }
  const std::string at = std::to_string(rows) + "rows";
  results.Row("win32/peak_working_set/0rows", Median(empty), "MB");
  results.Row("win32/peak_working_set/" + at, Median(full), "MB");
  // The target is set for kPeakRows rows; a tree that does not add up to
  // them exactly gives a figure without one.
  results.Row("win32/peak_working_set/" + at + "/above_empty", Median(above), "MB",
              rows == kPeakRows ? kPeakTargetMb : 0);
  // The same per row; its target is the 32-bit release's, whose pointers
  // and heap blocks are smaller.
  results.Row("win32/peak_working_set/" + at + "/above_empty_per_row",
              Median(above) * kMb / static_cast<double>(rows), "bytes",
              rows == kPeakRows && sizeof(void*) == 4 ? kPeakTargetBytesPerRow : 0);
  Say("  peak working set: empty window " + Fixed(Median(empty)) + " MB, " + std::to_string(rows) +
      " rows " + Fixed(Median(full)) + " MB, " + Fixed(Median(above)) + " MB above");
}

// --- a whole large tree in one process ------------------------------------------------

// In the child: the whole tree loaded, every file renamed and renamed back
// by the insert page, in a process of its own, so that the address space
// holds nothing else; then whether each step did all its rows, its times and
// the process's peaks.
int MeasureCapacityHere(std::string base) {
  base += "\\";
  const std::size_t files = SizeFromEnvironment("BENCH_FILES", kDefaultFiles);
  Window window;
  window.Settle();
  const double loadMs = Milliseconds([&] { window.Drop({base + kTreeName}); });
  const bool loaded = window.Rows().RowCount() == files;
  window.ShowPage(1);
  window.Type("编辑框1", kInsertedText);
  const double renameMs = Milliseconds([&] { window.Click("按钮1"); });
  const bool renamed = loaded && window.AllStatuses(renamora::Status::kDone);
  const double restoreMs = Milliseconds([&] { window.Click("按钮2"); });
  bool restored = renamed && window.AllStatuses(renamora::Status::kDone);
  const renamora::FileList& rows = window.Rows();
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    restored = restored && rows.CurrentName(r) == rows.OriginalName(r);
  }
  const PROCESS_MEMORY_COUNTERS counters = MemoryCounters();
  char report[256];
  std::snprintf(report, sizeof(report), "%d %d %d %.0f %.0f %.1f %.1f %.1f %.0f\r\n", loaded,
                renamed, restored, static_cast<double>(counters.PeakWorkingSetSize),
                static_cast<double>(counters.PeakPagefileUsage), loadMs, renameMs, restoreMs,
                static_cast<double>(rows.Rows().HeldBytes()));
  renamora::win32::Win32FileSystem fs;
  if (!fs.WriteWholeFile(ChildReport(base, "capacity"), report)) return 3;
  return g_failures.empty() ? 0 : 1;
}

// Whether the program's address space holds the whole tree through a load,
// a rename and a restore: 1 when every row was done at every step. The 32-bit
// build has 2 GB, or 4 GB as the large-address-aware program it is on 64-bit
// Windows.
void MeasureCapacity(const Workspace& space, Results& results) {
  constexpr double kMb = 1024.0 * 1024.0;
  std::string report;
  int loaded = 0;
  int renamed = 0;
  int restored = 0;
  double peak = 0;
  double committed = 0;
  double loadMs = 0;
  double renameMs = 0;
  double restoreMs = 0;
  double held = 0;
  const bool ran =
      RunChild(space.Base(), "capacity", report) &&
      std::sscanf(report.c_str(), "%d %d %d %lf %lf %lf %lf %lf %lf", &loaded, &renamed, &restored,
                  &peak, &committed, &loadMs, &renameMs, &restoreMs, &held) == 9;
  const std::string at = "win32/capacity/" + std::to_string(space.Files()) + "rows";
  const bool all = ran && loaded && renamed && restored;
  Check(all, "the whole tree was not loaded, renamed and restored in one process");
  results.Row(at + "/loaded_renamed_restored", all ? 1 : 0, "yes=1");
  if (!ran) return;
  results.Row(at + "/peak_working_set", peak / kMb, "MB",
              space.Files() == kCapacityFiles ? kCapacityPeakTargetMb : 0);
  // What the File list's rows hold after the restore, their unused room
  // included: the same on either build, its rows being of fixed-width fields.
  results.Row(at + "/file_list_bytes_per_row", held / static_cast<double>(space.Files()), "bytes");
  results.Row(at + "/peak_committed", committed / kMb, "MB");
  results.Row(at + "/load", loadMs, "ms");
  results.Row(at + "/InsertTextRename", renameMs, "ms");
  results.Row(at + "/InsertTextRestore", restoreMs, "ms");
  Say("  " + std::to_string(space.Files()) +
      " rows in one process: " + (all ? "loaded, renamed and restored" : "NOT all done") +
      "; peak working set " + Fixed(peak / kMb) + " MB, committed " + Fixed(committed / kMb) +
      " MB; load " + Fixed(loadMs) + " ms, rename " + Fixed(renameMs) + " ms, restore " +
      Fixed(restoreMs) + " ms");
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
  ::InitCommonControlsEx(&classes);

  std::string csvPath;
  std::string base;
  const std::size_t files = SizeFromEnvironment("BENCH_FILES", kDefaultFiles);
  // From a million files on, the timed parts would run for many hours: the
  // question there is whether the program holds such a list at all.
  std::string only = files >= kCapacityFiles ? "peak,capacity" : "load,rename,export,peak";
  std::string child;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--csv=", 0) == 0) {
      csvPath = arg.substr(6);
    } else if (arg.rfind("--child=", 0) == 0) {
      child = arg.substr(8);
    } else if (arg.rfind("--base=", 0) == 0) {
      base = arg.substr(7);
    } else if (arg.rfind("--only=", 0) == 0) {
      only = arg.substr(7);
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", arg.c_str());
      return 2;
    }
  }
  if (child == "empty" || child == "full") return MeasurePeakHere(base, child == "full");
  if (child == "capacity") return MeasureCapacityHere(base);
  auto wanted = [&](const char* part) { return only.find(part) != std::string::npos; };

  const int runs = static_cast<int>(
      std::max<std::size_t>(kLeastRuns, SizeFromEnvironment("BENCH_RUNS", kLeastRuns)));
  Results results;
  // Which build this is: the release is the 32-bit one.
  results.Row("win32/pointer_bits", 8 * sizeof(void*), "bits");
  {
    Workspace space(files);
    Say("Win32 benchmark: the real window on real files, median of " + std::to_string(runs) +
        " runs each");
    double made = 0;
    bool madeAll = false;
    made = Milliseconds([&] { madeAll = space.MakeFiles(); });
    if (!Check(madeAll, "could not make the tree in " + space.Base())) return 1;
    Say("  made " + std::to_string(files) + " files in " + Fixed(made) + " ms under " +
        space.Base());
    if (wanted("load") || wanted("rename") || wanted("export")) {
      Window window;
      window.Settle();
      // The renames and the export work on the rows of a load.
      window.Drop({space.Root()});
      if (wanted("load")) MeasureLoad(window, space, runs, results);
      if (wanted("rename")) MeasureRenames(window, space, runs, results);
      if (wanted("export")) MeasureExport(window, space, runs, results);
    }
    if (wanted("peak")) MeasurePeak(space, runs, results);
    if (wanted("capacity")) MeasureCapacity(space, results);
  }

  renamora::win32::Win32FileSystem fs;
  if (!csvPath.empty()) {
    if (!fs.WriteWholeFile(csvPath, results.Csv())) {
      std::fprintf(stderr, "cannot write %s\n", csvPath.c_str());
      return 1;
    }
  } else {
    std::fputs(results.Csv().c_str(), stdout);
  }
  return g_failures.empty() ? 0 : 1;
}
