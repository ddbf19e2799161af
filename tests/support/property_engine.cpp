#include "tests/support/property_engine.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <vector>

#include "app/event_table.h"
#include "app/memory/memory_window.h"
#include "command/save_as.h"
#include "platform/gbk_text.h"
#include "platform/memory/memory_ui.h"
#include "platform/name_parts.h"
#include "tests/support/shown_rows.h"

namespace renamora::testing {

namespace {

// Forwards to the scene's file system and keeps every rename that succeeded.
class RecordingFileSystem final : public FileSystem {
 public:
  explicit RecordingFileSystem(FileSystem& inner) : inner_(inner) {}
  OpResult RenameFile(const std::string& from, const std::string& to) override {
    const OpResult result = inner_.RenameFile(from, to);
    if (result.ok) renames.push_back({from, to});
    return result;
  }
  std::optional<std::uint32_t> Attributes(const std::string& path) override {
    return inner_.Attributes(path);
  }
  std::unique_ptr<FolderEnumeration> EnumerateFolder(const std::string& pattern) override {
    return inner_.EnumerateFolder(pattern);
  }
  OpResult ReadWholeFile(const std::string& path, std::string& bytes) override {
    return inner_.ReadWholeFile(path, bytes);
  }
  OpResult WriteWholeFile(const std::string& path, std::string_view bytes) override {
    writes.push_back(path);
    return inner_.WriteWholeFile(path, bytes);
  }
  std::string DesktopFolder() override { return inner_.DesktopFolder(); }

  std::vector<std::pair<std::string, std::string>> renames;
  std::vector<std::string> writes;

 private:
  FileSystem& inner_;
};

std::string Fold(const std::string& s) {
  std::string key = s;
  for (std::size_t i = 0; i < key.size(); i += text::CharLength(key, i)) {
    key[i] = text::AsciiLower(key[i]);
  }
  return key;
}

std::size_t Depth(const std::string& relative) {
  std::size_t depth = 0;
  for (std::size_t i = 0; i < relative.size(); i += text::CharLength(relative, i)) {
    if (relative[i] == '\\') ++depth;
  }
  return depth;
}

class Sequence {
 public:
  Sequence(std::uint64_t seed, const PropertyOptions& options)
      : rng_(seed),
        options_(options),
        scene_(MakeScene()),
        fs_(scene_->fs()),
        ctx_{fs_, messages_, progress_, window_.controls(), scene_->codePage()} {
    tree_ = scene_->root() + "tree\\";
    outside_ = scene_->root() + "outside\\";
    out_ = scene_->root() + "out\\";
    rules_ = scene_->root() + "rules\\";
  }

  std::optional<std::string> Run() {
    BuildScene();
    RaiseEvent(ctx_, kMainWindowName, Event::kWindowCreated);
    for (int i = 0; i < options_.commands; ++i) {
      fs_.renames.clear();
      RunOneCommand();
      if (auto failure = Check()) return *failure + "\ncommands:\n" + log_.str();
    }
    return std::nullopt;
  }

 private:
  std::size_t Pick(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng_() % n); }
  bool Chance(int percent) { return static_cast<int>(rng_() % 100) < percent; }
  template <typename T>
  const T& OneOf(const std::vector<T>& items) {
    return items[Pick(items.size())];
  }

  std::string RandomName() {
    static const std::vector<std::string> stems = {
        "a", "B", "photo", "IMG_0", "照片", "海滩", "\x95\x5C", "x\x95\x5Cy", "README", "Beach",
        "beach", "文件", "notes", "tar", "Ab",
        // Taking "X" off leaves a dot and a blank at the end of the name.
        "v. X",
        // Single bytes above 7F, and names that only look like devices.
        "价格\x80", "\xFF", "NULL", "AUXI", "COM10"};
    static const std::vector<std::string> extensions = {".jpg",    ".JPG", ".txt", "",
                                                        ".tar.gz", ".csv", ".Txt"};
    if (Chance(5)) return ".profile" + std::to_string(Pick(100));
    std::string name = OneOf(stems);
    if (Chance(60)) name += std::to_string(Pick(30));
    if (Chance(30)) name += OneOf(stems);
    name += OneOf(extensions);
    // From another system's disk: a name Windows would trim.
    if (Chance(10)) name += OneOf(std::vector<std::string>{".", " ", ". ", ".."});
    return name;
  }

  // A name not yet used in `folder`, compared as Windows compares names,
  // and not taken meanwhile by a renamed file.
  std::string FreshName(const std::string& folder) {
    for (;;) {
      std::string name = RandomName();
      if (used_.insert(Fold(folder + name)).second && !scene_->Exists(Exact(folder + name)))
        return name;
    }
  }

  void AddTreeFile(const std::string& folder) {
    const std::string path = folder + FreshName(folder);
    std::uint32_t attributes = 0x20;
    if (Chance(15)) attributes |= 0x01;
    if (Chance(10)) attributes |= 0x02;
    if (Chance(4)) attributes |= 0x04;
    const std::string content = "content-" + std::to_string(nextContent_++);
    scene_->AddFile(Exact(path), content, attributes);
    expected_[content] = Depth(path.substr(tree_.size()));
    files_.push_back(path);
    // Mostly beside the twin a plain path would reach instead.
    const std::string twin(WithoutTrailingDotsAndBlanks(path));
    if (twin.size() < path.size() && Chance(70) && used_.insert(Fold(twin)).second &&
        !scene_->Exists(Exact(twin))) {
      scene_->AddFile(Exact(twin), "twin-" + content, 0x20);
      expected_["twin-" + content] = expected_[content];
      files_.push_back(twin);
    }
  }

  void BuildFolder(const std::string& folder, int depth) {
    const std::size_t files = 1 + Pick(depth == 0 ? 6 : 4);
    for (std::size_t i = 0; i < files && nextContent_ < options_.maxFiles; ++i) AddTreeFile(folder);
    const std::size_t subfolders = depth >= 3 ? 0 : Pick(4 - depth);
    for (std::size_t i = 0; i < subfolders; ++i) {
      const std::string sub = folder + FreshName(folder);
      std::uint32_t attributes = 0x10;
      if (Chance(15)) attributes |= OneOf(std::vector<std::uint32_t>{0x01, 0x02, 0x04});
      if (Chance(8)) attributes |= 0x20;  // read-only and archive: walked; hidden, system: not
      scene_->AddFolder(Exact(sub), attributes);
      folders_.push_back(sub);
      BuildFolder(sub + "\\", depth + 1);
    }
  }

  void BuildScene() {
    for (const std::string& f : {tree_, outside_, out_, rules_}) {
      scene_->AddFolder(f.substr(0, f.size() - 1));
    }
    for (int i = 0; i < 3; ++i) {
      scene_->AddFile(outside_ + "keep" + std::to_string(i) + ".txt",
                      "outside-" + std::to_string(i));
    }
    BuildFolder(tree_, 0);
    if (Chance(20)) {  // a deep chain, at times past MAX_PATH
      std::string folder = tree_;
      const std::string level = Chance(50) ? "d" : "照片档案" + std::string(22, 'd');
      for (int i = 0; i < 12; ++i) {
        folder += level;
        scene_->AddFolder(Exact(folder));
        folder += "\\";
      }
      AddTreeFile(folder);
    }
    outsideBefore_ = Snapshot(outside_);
  }

  std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> snapshot;
    for (auto& entry : scene_->Walk(folder)) {
      snapshot[entry.path] = entry.folder ? "<folder>" : entry.content;
    }
    return snapshot;
  }

  std::string HostileText() {
    static const std::vector<std::string> texts = {
        "",     "X",         "海滩",     "\\",    "/",
        "..\\", "..\\..\\x", ":",        "*",     "\"",
        "a\"b", "?",         "<>",       "|",     " ",
        ".",    "..",        "\x95\x5C", "c:\\x", std::string(300, 'L'),
        "X-",   "-",         "_1",       "IMG",   "nul",
        "CON",  "Lpt1",      "com9 ",    "\x80\\"};
    return OneOf(texts);
  }

  std::string Separator() {
    static const std::vector<std::string> separators = {"-", "", "_", "\\", " ", "..", "/", "."};
    return OneOf(separators);
  }

  std::string RuleCode() {
    if (Chance(15)) return "";
    if (Chance(50) && !files_.empty()) {
      const std::string name = NamePart(OneOf(files_));
      const std::size_t start = Pick(name.size());
      std::string code = name.substr(start, 1 + Pick(4));
      // Keep a code whole: never start or end it inside a double-byte character.
      return text::FindLastChar(code, '\\') == text::npos ? code : "a";
    }
    return OneOf(std::vector<std::string>{"a", "IMG", "照片", "b", "JPG", "\x95\x5C", "x"});
  }

  // Whether `to` is `from` with a piece cut off its start, or off the end of
  // the part before the extension `to` keeps.
  static bool TakenOffAnEnd(const std::string& from, const std::string& to) {
    if (to.size() > from.size()) return false;
    if (from.compare(from.size() - to.size(), to.size(), to) == 0) return true;
    const std::size_t base = text::FindLastChar(to, '.');
    return base != text::npos && base > 0 && from.compare(0, base, to, 0, base) == 0 &&
           from.compare(from.size() - (to.size() - base), to.size() - base, to, base) == 0;
  }

  static std::string NamePart(const std::string& path) {
    const std::size_t slash = text::FindLastChar(path, '\\');
    return path.substr(slash + 1);
  }

  void DropRules() {
    std::string csv;
    if (Chance(40)) csv += "匹配代码,加入名字\r\n";
    const std::size_t rules = Pick(6);
    for (std::size_t i = 0; i < rules; ++i) {
      csv += RuleCode() + "," + (Chance(30) ? HostileText() : std::string("Beach")) + "\r\n";
    }
    if (Chance(10)) csv += "broken line\r\n";
    const std::string path =
        rules_ + "r" + std::to_string(ruleFiles_++) + (Chance(90) ? ".csv" : ".CSV");
    scene_->AddFile(path, csv);
    messages_.ClearAnswers();
    messages_.Answer(Chance(50) ? MessageAnswer::kOk : MessageAnswer::kCancel);
    log_ << "drop rules " << path << " [" << csv << "]\n";
    RaiseEvent(ctx_, "拖放对象2", Event::kFilesDropped, path);
  }

  void DropFiles() {
    std::string text;
    const int kind = static_cast<int>(Pick(10));
    if (kind < 6) {
      text = Chance(50) ? tree_ : tree_.substr(0, tree_.size() - 1);
    } else {
      std::vector<std::string> paths;
      const std::size_t n = 1 + Pick(4);
      for (std::size_t i = 0; i < n; ++i) {
        paths.push_back(Chance(70) || folders_.empty() ? OneOf(files_) : OneOf(folders_));
      }
      if (Chance(30)) paths.push_back(tree_);  // files met twice
      if (paths.size() == 1) {
        text = paths[0];
      } else {
        for (const auto& p : paths) text += p + "\r\n";
      }
    }
    log_ << "drop files [" << text << "]\n";
    RaiseEvent(ctx_, "拖放对象1", Event::kFilesDropped, text);
    std::set<std::string> listed;  // no folder is a row, and no file is listed twice
    for (const ShownRow& row : ShownRows(window_.fileList())) {
      const auto attributes = fs_.Attributes(row.folder + row.originalName);
      if ((attributes && (*attributes & 0x10)) ||
          !listed.insert(Fold(row.folder + row.originalName)).second)
        dropProblem_ = "a folder is a row, or a file is listed twice";
    }
  }

  // Another program at work between the load and a rename.
  void DisturbFiles() {
    if (!options_.fileEvents || files_.empty()) return;
    if (Chance(30)) {
      const std::string victim = OneOf(files_);
      if (scene_->Exists(Exact(victim))) {
        locked_ = victim;
        scene_->Lock(Exact(victim));
        log_ << "  lock " << victim << "\n";
      }
    }
    if (Chance(15)) {
      // Removed by someone else, under whatever name it has now: its content
      // leaves the expected set.
      std::vector<Scene::Entry> present;
      for (auto& entry : scene_->Walk(Exact(tree_))) {
        if (!entry.folder && tree_ + entry.path != locked_) present.push_back(std::move(entry));
      }
      if (!present.empty()) {
        const Scene::Entry& victim = present[Pick(present.size())];
        scene_->Remove(Exact(tree_ + victim.path));
        expected_.erase(victim.content);
        removed_.insert(Fold(tree_ + victim.path));
        log_ << "  remove " << tree_ << victim.path << "\n";
      }
    }
    if (Chance(15)) {
      AddTreeFile(tree_);
      log_ << "  add " << files_.back() << "\n";
    }
  }

  void RunRename(const char* button) {
    DisturbFiles();
    messages_.ClearAnswers();
    const bool yes = Chance(50);
    messages_.Answer(yes ? MessageAnswer::kYes : MessageAnswer::kNo);
    log_ << "click " << button << " T=[" << window_.textBox("编辑框1").Text() << "] S=["
         << window_.textBox("组合框1").Text() << "] S2=[" << window_.textBox("组合框2").Text()
         << "] answer " << (yes ? "yes" : "no") << "\n";
    const std::vector<ShownRow> before = ShownRows(window_.fileList());
    RaiseEvent(ctx_, button, Event::kClick);
    const bool restore = std::string(button) == "按钮2" || std::string(button) == "按钮5";
    const std::size_t first = fs_.renames.size();
    // A way back renames a freshly listed row only by taking a text off the
    // start of its name or off the end of the part before its extension.
    for (std::size_t i = 0; restore && i < first; ++i) {
      const auto& [from, to] = fs_.renames[i];
      for (const ShownRow& row : before) {
        if (row.folder + row.currentName == from && row.currentName == row.originalName &&
            row.status == Status::kNone && !TakenOffAnEnd(NamePart(from), NamePart(to)))
          dropProblem_ = "a restore cut " + from + " to " + to;
      }
    }
    const std::vector<ShownRow> middle = ShownRows(window_.fileList());
    if (restore && Chance(30) && !progress_.Stopped()) {
      progress_.LetRun();
      RaiseEvent(ctx_, button, Event::kClick);
    }
    // A restore again renames only to "原名", and only what the first failed.
    for (std::size_t i = first; i < fs_.renames.size(); ++i) {
      const std::vector<ShownRow> rows = ShownRows(window_.fileList());
      if (std::none_of(rows.begin(), rows.end(),
                       [&](const ShownRow& row) {
                         return row.folder + row.originalName == fs_.renames[i].second;
                       }) ||
          std::any_of(middle.begin(), middle.end(), [&](const ShownRow& row) {
            return row.folder + row.currentName == fs_.renames[i].first &&
                   row.status != Status::kFailed;
          }))
        dropProblem_ = "a second restore renamed " + fs_.renames[i].first;
    }
    // A stopped run leaves every row after the one it was at as it was.
    if (progress_.Stopped()) {
      const std::vector<ShownRow> after = ShownRows(window_.fileList());
      for (std::size_t r = progress_.DoneAtStop(); r < before.size(); ++r) {
        if (!(after[r] == before[r])) unreachedChanged_ = "row " + std::to_string(r) + " changed";
      }
    }
    if (!locked_.empty()) {
      scene_->Unlock(Exact(locked_));
      locked_.clear();
    }
  }

  void RunOneCommand() {
    // The user stops a quarter of the commands after a few rows (or files
    // found, or rules read), which may be before the first or after the last.
    if (Chance(25)) {
      const std::size_t step = 1 + Pick(12);
      progress_.StopAt(step);
      log_ << "stop at step " << step << "\n";
    } else {
      progress_.LetRun();
    }
    const int roll = static_cast<int>(Pick(100));
    if (roll < 14) {
      DropFiles();
    } else if (roll < 24) {
      DropRules();
    } else if (roll < 46) {
      window_.textBox("编辑框1").SetText(HostileText());
      window_.textBox("组合框1").SetText(Separator());
      window_.radio(Chance(50) ? "单选框1" : "单选框2").Check();
      RunRename(Chance(60) ? "按钮1" : "按钮2");
    } else if (roll < 72) {
      window_.textBox("组合框2").SetText(Separator());
      window_.radio(OneOf(std::vector<std::string>{"单选框3", "单选框4", "单选框7"})).Check();
      RunRename(Chance(60) ? "按钮4" : "按钮5");
    } else if (roll < 82) {
      const char* button = OneOf(std::vector<const char*>{"按钮3", "按钮6", "按钮7"});
      log_ << "click " << button << "\n";
      RaiseEvent(ctx_, button, Event::kClick);
    } else if (roll < 95) {
      window_.radio(Chance(50) ? "单选框5" : "单选框6").Check();
      auto& dialog = window_.dialog("通用对话框1");
      dialog.ClearAnswers();
      if (Chance(85)) dialog.Answer(out_ + "names.csv");
      const char* button = OneOf(std::vector<const char*>{"按钮8", "按钮9", "按钮10"});
      log_ << "click " << button << "\n";
      RunExport(button);
    } else {
      auto& dialog = window_.dialog("通用对话框2");
      dialog.ClearAnswers();
      dialog.Answer(out_ + "template.csv");
      log_ << "click 按钮11\n";
      RunExport("按钮11");
    }
  }

  // An export, at times onto a disk that fills up part-way: a write that
  // says it failed leaves the folder it wrote to as it was.
  void RunExport(const char* button) {
    const std::map<std::string, std::string> before = Snapshot(out_);
    const std::size_t failAfter = Chance(25) ? Pick(20) : static_cast<std::size_t>(-1);
    scene_->FailNextWriteAfter(failAfter);
    log_ << "  the write fails after " << failAfter << " bytes\n";
    const std::size_t boxes = messages_.Count();
    RaiseEvent(ctx_, button, Event::kClick);
    scene_->FailNextWriteAfter(static_cast<std::size_t>(-1));
    if (messages_.Count() > boxes && messages_.Last().text.rfind(WriteFailedMessage(""), 0) == 0 &&
        Snapshot(out_) != before)
      dropProblem_ = "a failed write changed " + out_;
  }

  std::optional<std::string> Check() {
    if (!unreachedChanged_.empty())
      return "a stopped run changed a row it never reached: " + unreachedChanged_;
    if (!dropProblem_.empty()) return dropProblem_;
    // Every content present exactly once under the tree, at its depth.
    std::map<std::string, int> seen;
    for (const auto& entry : scene_->Walk(Exact(tree_))) {
      if (entry.folder) continue;
      auto it = expected_.find(entry.content);
      if (it == expected_.end())
        return "unexpected file " + entry.path + " [" + entry.content + "]";
      if (++seen[entry.content] > 1) return "content twice: " + entry.content;
      if (Depth(entry.path) != it->second) return "file changed depth: " + entry.path;
      // A device's name, which Windows would not keep as a file's.
      std::string stem = NamePart(entry.path);
      stem = Fold(stem.substr(0, stem.find('.')));
      stem.erase(stem.find_last_not_of(' ') + 1);
      const bool numbered = stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9' &&
                            (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0);
      for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
        if (stem == device || numbered) return "device: " + entry.path;
      }
    }
    for (const auto& [content, depth] : expected_) {
      if (!seen.count(content)) return "file lost: " + content;
    }
    if (Snapshot(outside_) != outsideBefore_) return "a file outside the tree changed";
    // Nothing is written but the two chosen output files.
    for (const std::string& path : fs_.writes) {
      if (path != out_ + "names.csv" && path != out_ + "template.csv") {
        return "wrote to " + path;
      }
    }
    fs_.writes.clear();
    // Every rename stayed in its folder and was of an entry a row names.
    const std::vector<ShownRow> rows = ShownRows(window_.fileList());
    for (const auto& [from, to] : fs_.renames) {
      const std::size_t slash = text::FindLastChar(from, '\\');
      if (to.compare(0, slash + 1, from, 0, slash + 1) != 0 ||
          text::FindChar(to, '\\', slash + 1) != text::npos) {
        return "rename left its folder: " + from + " -> " + to;
      }
      const std::string folder = from.substr(0, slash + 1);
      const bool named = std::any_of(rows.begin(), rows.end(),
                                     [&](const ShownRow& row) { return row.folder == folder; });
      if (!named) return "renamed what no row names: " + from;
    }
    // Every row that says it was renamed names a file that is there, unless
    // its folder was renamed meanwhile, another row names the same file, or
    // someone else removed it.
    std::map<std::string, int> sameFile;
    for (const ShownRow& row : rows) ++sameFile[Fold(row.folder + row.originalName)];
    for (const ShownRow& row : rows) {
      const bool success = row.status == Status::kDone || row.status == Status::kSucceeded ||
                           row.status == Status::kSucceededWithSuffix;
      if (!success || sameFile[Fold(row.folder + row.originalName)] > 1) continue;
      if (removed_.count(Fold(row.folder + row.currentName))) continue;
      if (!scene_->Exists(Exact(row.folder))) continue;
      if (!scene_->Exists(Exact(row.folder + row.currentName))) {
        return "row says " + StatusText(row.status) + " but " + row.folder + row.currentName +
               " is missing";
      }
      // And under the very name the row shows: Windows drops the dots and
      // blanks at the end of a new name, which the row must drop too.
      const std::optional<std::string> stored =
          scene_->StoredName(Exact(row.folder + row.currentName));
      const bool sameName =
          stored && (scene_->ChangesCaseOnRename() ? *stored == row.currentName
                                                   : Fold(*stored) == Fold(row.currentName));
      if (!sameName) {
        return "row says " + row.currentName + " but the file is called " + stored.value_or("?");
      }
    }
    return std::nullopt;
  }

  std::mt19937_64 rng_;
  PropertyOptions options_;
  std::unique_ptr<Scene> scene_;
  RecordingFileSystem fs_;
  MemoryMainWindow window_;
  MemoryMessageBoxes messages_;
  MemoryProgress progress_;
  Context ctx_;
  std::string tree_, outside_, out_, rules_;
  std::map<std::string, std::size_t> expected_;  // content -> depth under the tree
  std::map<std::string, std::string> outsideBefore_;
  std::vector<std::string> files_, folders_;
  std::set<std::string> used_, removed_;
  std::string locked_;
  std::string unreachedChanged_, dropProblem_;
  int nextContent_ = 0;
  int ruleFiles_ = 0;
  std::ostringstream log_;
};

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

}  // namespace

std::optional<std::string> RunPropertySequence(std::uint64_t seed, const PropertyOptions& options) {
  Sequence sequence(seed, options);
  return sequence.Run();
}

SeedRange PropertySeeds(std::uint64_t defaultCount, const char* countVariable) {
  if (const char* replay = std::getenv("RENAMORA_PROPERTY_SEED"); replay && *replay) {
    return {std::strtoull(replay, nullptr, 10), 1};
  }
  return {EnvNumber("RENAMORA_PROPERTY_BASE", 1), EnvNumber(countVariable, defaultCount)};
}

std::vector<std::string> RunPropertySeeds(const SeedRange& seeds, PropertyOptions options,
                                          std::uint64_t fileEventsEvery) {
  std::vector<std::string> failures;
  for (std::uint64_t seed = seeds.first; seed < seeds.first + seeds.count; ++seed) {
    options.fileEvents = fileEventsEvery != 0 && seed % fileEventsEvery == 0;
    if (auto failure = RunPropertySequence(seed, options)) {
      failures.push_back("seed " + std::to_string(seed) + " (replay: RENAMORA_PROPERTY_SEED=" +
                         std::to_string(seed) + "): " + *failure);
      if (failures.size() >= 3) break;
    }
  }
  return failures;
}

}  // namespace renamora::testing
