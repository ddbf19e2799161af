// The commands at 10,000, 100,000 and 1,000,000 rows on the in-memory
// platform, each reached the way a user reaches it: through the event table
// of a whole program in memory. Writes one CSV row per figure and per ratio
// (metric,value,unit,target,met) to the file named by --csv=PATH.
//
// Only the command is timed. The tree of every size is built once; a rename
// is undone by its restore (untimed) and a restore is prepared by its rename
// (untimed), so every timed run starts from the same rows and files.
//
// BENCH_SMOKE=1 runs a hundredth of the sizes once each: a check that the
// program still works, not a measurement.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_tree.h"
#include "filelist/file_loading.h"
#include "tests/support/memory_app.h"

namespace {

using renamora::MessageAnswer;
using renamora::testing::MemoryApp;
using namespace renamora::bench;

constexpr char kRoot[] = "D:\\基准测试";
constexpr std::size_t kFilesPerFolder = 1000;
constexpr char kInsertedText[] = "已审";
constexpr std::size_t kStandardRules = 100;

struct Plan {
  bool smoke = false;
  std::vector<std::size_t> sizes;       // rows, smallest first
  std::size_t ruleVariantRows = 0;      // the size at which the rule count varies
  std::vector<std::size_t> ruleCounts;  // besides the standard 100
  int repetitions = 5;
};

Plan MakePlan() {
  Plan plan;
  const char* smoke = std::getenv("BENCH_SMOKE");
  plan.smoke = smoke && *smoke && std::string(smoke) != "0";
  const std::size_t scale = plan.smoke ? 100 : 1;
  plan.sizes = {10000 / scale, 100000 / scale, 1000000 / scale};
  plan.ruleVariantRows = plan.sizes[1];
  plan.ruleCounts = {10, 1000, 10000};
  plan.repetitions = plan.smoke ? 1 : 5;
  return plan;
}

std::string RuleFilePath(MemoryApp& app, std::size_t rules) {
  return app.fs.DesktopFolder() + "规则" + std::to_string(rules) + ".csv";
}

// The whole program with a tree of `rows` files (folders of 1,000) dropped
// on its window. One size lives at a time.
struct Scenario {
  std::size_t rows = 0;
  std::size_t rules = 0;  // the rule file last dropped on the Rule list
  std::unique_ptr<MemoryApp> app;
};
Scenario g_scenario;

MemoryApp& AppWithRows(std::size_t rows) {
  if (g_scenario.app && g_scenario.rows == rows) return *g_scenario.app;
  g_scenario.app.reset();
  auto app = std::make_unique<MemoryApp>();
  for (std::size_t row = 0; row < rows; ++row) {
    const std::string folder =
        std::string(kRoot) + "\\文件夹" + ZeroPadded(row / kFilesPerFolder + 1, 4) + "\\";
    app->fs.AddFile(folder + FileName(row));
  }
  app->DropOnWindow(kRoot);
  app->window.textBox("编辑框1").SetText(kInsertedText);
  g_scenario = {rows, 0, std::move(app)};
  return *g_scenario.app;
}

void WriteRuleFile(MemoryApp& app, std::size_t rules) {
  const std::string path = RuleFilePath(app, rules);
  if (app.fs.Exists(path)) return;
  app.fs.AddFile(path, RuleFileBytes(rules));
}

// What a user does to load a rule file: drop it and skip its header.
void DropRules(MemoryApp& app, std::size_t rules) {
  app.messages.Answer(MessageAnswer::kOk);
  app.DropOnRuleList(RuleFilePath(app, rules));
  app.messages.Forget();
}

void EnsureRules(MemoryApp& app, std::size_t rules) {
  if (g_scenario.rules == rules && app.rules().RowCount() == rules) return;
  WriteRuleFile(app, rules);
  DropRules(app, rules);
  g_scenario.rules = rules;
}

template <typename Command>
void Timed(benchmark::State& state, Command&& command) {
  const auto start = std::chrono::steady_clock::now();
  command();
  const auto end = std::chrono::steady_clock::now();
  state.SetIterationTime(std::chrono::duration<double>(end - start).count());
}

// A figure is only worth reporting when the command did its work.
void Expect(benchmark::State& state, bool held, const char* what) {
  if (!held && !state.error_occurred()) state.SkipWithError(what);
}

bool AllStatuses(MemoryApp& app, renamora::Status status) {
  const renamora::FileList& rows = app.files();
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    if (rows.StatusOf(r) != status) return false;
  }
  return true;
}

// --- the commands ------------------------------------------------------------

void BenchLoadDroppedFiles(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  for (auto _ : state) {
    // The window holds the last load of the same tree, which the drop
    // replaces row for row.
    Timed(state, [&] { app.DropOnWindow(kRoot); });
  }
  Expect(state, app.files().RowCount() == rows, "not every file was loaded");
}

void BenchLoadDroppedFilesOnEmptyList(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  for (auto _ : state) {
    // After "清空" the list has given its storage back: the drop builds its
    // rows afresh, as the first drop after start-up does.
    app.Click("按钮3");
    Timed(state, [&] { app.DropOnWindow(kRoot); });
  }
  Expect(state, app.files().RowCount() == rows, "not every file was loaded");
}

void BenchLoadDroppedFilesTwice(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  for (auto _ : state) {
    // The tree dropped twice at once: every file is met again and left out,
    // the most a record of the files met can cost.
    Timed(state, [&] { app.DropOnWindow(std::string(kRoot) + "\r\n" + kRoot + "\r\n"); });
  }
  Expect(state, app.files().RowCount() == rows, "not every file was loaded once");
}

void BenchInsertTextRename(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  for (auto _ : state) {
    Timed(state, [&] { app.Click("按钮1"); });
    Expect(state, AllStatuses(app, renamora::Status::kDone), "a rename failed");
    app.Click("按钮2");
  }
}

void BenchInsertTextRestore(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  for (auto _ : state) {
    app.Click("按钮1");
    Timed(state, [&] { app.Click("按钮2"); });
    Expect(state, AllStatuses(app, renamora::Status::kDone), "a restore failed");
  }
}

void BenchMatchRename(benchmark::State& state, std::size_t rows, std::size_t rules) {
  MemoryApp& app = AppWithRows(rows);
  EnsureRules(app, rules);
  for (auto _ : state) {
    Timed(state, [&] { app.Click("按钮4"); });
    Expect(state, AllStatuses(app, renamora::Status::kSucceeded), "a match rename failed");
    app.Click("按钮5");
  }
}

void BenchMatchRestore(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  EnsureRules(app, kStandardRules);
  for (auto _ : state) {
    app.Click("按钮4");
    Timed(state, [&] { app.Click("按钮5"); });
    Expect(state, AllStatuses(app, renamora::Status::kDone), "a match restore failed");
  }
}

void BenchExportNameList(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  const std::string path = app.fs.DesktopFolder() + "文件名.csv";
  for (auto _ : state) {
    app.window.dialog("通用对话框1").Answer(path);
    Timed(state, [&] { app.Click("按钮8"); });
  }
  const auto written = app.fs.Content(path);
  Expect(state, written && written->size() > rows, "the export wrote nothing");
}

void BenchClear(benchmark::State& state, std::size_t rows, const char* button) {
  MemoryApp& app = AppWithRows(rows);
  for (auto _ : state) {
    Timed(state, [&] { app.Click(button); });
    Expect(state, app.files().RowCount() == 0, "the list was not emptied");
    app.DropOnWindow(kRoot);
  }
}

void BenchRefitFileListColumns(benchmark::State& state, std::size_t rows) {
  MemoryApp& app = AppWithRows(rows);
  for (auto _ : state) {
    Timed(state, [&] { renamora::RefitFileListColumns(app.ctx); });
  }
}

void BenchLoadDroppedRules(benchmark::State& state, std::size_t rows, std::size_t rules) {
  MemoryApp& app = AppWithRows(rows);
  WriteRuleFile(app, rules);
  for (auto _ : state) {
    app.messages.Answer(MessageAnswer::kOk);
    Timed(state, [&] { app.DropOnRuleList(RuleFilePath(app, rules)); });
    app.messages.Forget();
  }
  g_scenario.rules = rules;
  Expect(state, app.rules().RowCount() == rules, "not every rule was loaded");
}

void BenchClearRules(benchmark::State& state, std::size_t rows, std::size_t rules) {
  MemoryApp& app = AppWithRows(rows);
  EnsureRules(app, rules);
  for (auto _ : state) {
    Timed(state, [&] { app.Click("按钮7"); });
    Expect(state, app.rules().RowCount() == 0, "the rules were not cleared");
    DropRules(app, rules);
  }
}

// --- the bare work ------------------------------------------------------------

// Reads one word of every cache line of `bytes` bytes, the way a pass over
// a list reads its rows. Its growth from 100,000 to 1,000,000 rows is what
// the machine's caches alone make of ten times the data; a command that
// only passes over its rows cannot grow less.
void BenchBareRead(benchmark::State& state, std::size_t bytes) {
  constexpr std::size_t kWordsPerLine = 64 / sizeof(std::uint64_t);
  std::vector<std::uint64_t> words(bytes / sizeof(std::uint64_t), 1);
  std::uint64_t sum = 0;
  for (auto _ : state) {
    Timed(state, [&] {
      for (std::size_t i = 0; i < words.size(); i += kWordsPerLine) sum += words[i];
      benchmark::DoNotOptimize(sum);
    });
  }
}

// What the File list's rows hold at each size (their room not yet used
// included), and the bare read of as many bytes.
std::map<std::size_t, std::size_t> g_fileListBytes;

void BenchBareReadFileRows(benchmark::State& state, std::size_t rows) {
  const std::size_t bytes = AppWithRows(rows).files().Rows().HeldBytes();
  g_fileListBytes[rows] = bytes;
  BenchBareRead(state, bytes);
}

// --- figures -------------------------------------------------------------------

// What one benchmark stands for in the results: its time divided by `per`.
struct Figure {
  std::string command;
  std::string variant;  // "" or "/" and what differs, after the rows in a metric's name
  std::string metric;
  std::size_t per;
  std::string unit;
  double target;  // 0: none
  bool bare;      // the machine's own work, for comparison: no growth target
};

class MedianReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) failed_.push_back(run.run_name.function_name);
      // A single repetition (the smoke run) has no aggregates: its one run
      // is the median.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions == 1;
      if (!median && !single) continue;
      medians_[run.run_name.function_name] =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
    }
  }
  // Nanoseconds per iteration, or a negative value when it did not run.
  double MedianNs(const std::string& name) const {
    auto it = medians_.find(name);
    return it == medians_.end() ? -1 : it->second;
  }
  const std::vector<std::string>& Failed() const { return failed_; }

 private:
  std::map<std::string, double> medians_;
  std::vector<std::string> failed_;
};

// One CSV row; `target` 0 leaves target and met empty.
void WriteRow(std::ostream& out, const std::string& metric, double value, const char* unit,
              double target) {
  char number[64];
  std::snprintf(number, sizeof(number), value < 10 ? "%.2f" : "%.1f", value);
  out << metric << ',' << number << ',' << unit << ',';
  if (target > 0) {
    char limit[64];
    std::snprintf(limit, sizeof(limit), "%g", target);
    out << limit << ',' << (value <= target ? "yes" : "no");
  } else {
    out << ',';
  }
  out << '\n';
}

class Registry {
 public:
  explicit Registry(const Plan& plan) : plan_(plan) {}

  template <typename Fn, typename... Args>
  void Add(const std::string& command, const std::string& variant, std::size_t rows,
           std::size_t per, const char* unit, double target, Fn fn, Args... args) {
    AddFigure(command, variant, rows, per, unit, target, false, fn, args...);
  }
  template <typename Fn, typename... Args>
  void AddBare(const std::string& command, std::size_t rows, Fn fn, Args... args) {
    AddFigure(command, "", rows, rows, "ns/row", 0, true, fn, args...);
  }

  const std::vector<Figure>& Figures() const { return figures_; }
  const std::vector<std::string>& Names() const { return names_; }

 private:
  template <typename Fn, typename... Args>
  void AddFigure(const std::string& command, const std::string& variant, std::size_t rows,
                 std::size_t per, const char* unit, double target, bool bare, Fn fn, Args... args) {
    const std::string metric = "native/" + command + "/" + std::to_string(rows) + variant;
    const std::string name = metric.substr(sizeof("native/") - 1);
    // Several runs of a small size keep the timer's grain out of the figure.
    const std::size_t iterations =
        std::max<std::size_t>(1, 200000 / std::max<std::size_t>(1, rows));
    benchmark::RegisterBenchmark(name.c_str(), fn, args...)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(plan_.smoke ? 1 : static_cast<benchmark::IterationCount>(iterations))
        ->Repetitions(plan_.repetitions)
        ->ReportAggregatesOnly(true);
    figures_.push_back({command, variant, metric, per, unit, target, bare});
    names_.push_back(name);
  }

  const Plan& plan_;
  std::vector<Figure> figures_;
  std::vector<std::string> names_;
};

void RegisterAll(const Plan& plan, Registry& registry) {
  for (std::size_t rows : plan.sizes) {
    // The per-row target holds at the largest size.
    const double target = rows == plan.sizes.back() ? 1000 : 0;
    registry.Add("LoadDroppedFiles", "", rows, rows, "ns/row", target, BenchLoadDroppedFiles, rows);
    registry.Add("LoadDroppedFiles", "/emptylist", rows, rows, "ns/row", target,
                 BenchLoadDroppedFilesOnEmptyList, rows);
    registry.Add("LoadDroppedFiles", "/twice", rows, rows, "ns/row", target,
                 BenchLoadDroppedFilesTwice, rows);
    registry.Add("InsertTextRename", "", rows, rows, "ns/row", target, BenchInsertTextRename, rows);
    registry.Add("InsertTextRestore", "", rows, rows, "ns/row", target, BenchInsertTextRestore,
                 rows);
    registry.Add("MatchRename", "", rows, rows, "ns/row", target, BenchMatchRename, rows,
                 kStandardRules);
    registry.Add("MatchRestore", "", rows, rows, "ns/row", target, BenchMatchRestore, rows);
    if (rows == plan.ruleVariantRows) {
      for (std::size_t rules : plan.ruleCounts) {
        registry.Add("MatchRename", "/" + std::to_string(rules) + "rules", rows, rows, "ns/row",
                     rules >= 10000 ? 2000 : 0, BenchMatchRename, rows, rules);
      }
    }
    registry.Add("ExportNameList", "", rows, rows, "ns/row", target, BenchExportNameList, rows);
    registry.Add("ClearFileList", "", rows, rows, "ns/row", target, BenchClear, rows, "按钮3");
    registry.Add("ClearFilesAndCounters", "", rows, rows, "ns/row", target, BenchClear, rows,
                 "按钮6");
    registry.Add("RefitFileListColumns", "", rows, rows, "ns/row", target,
                 BenchRefitFileListColumns, rows);
    // The Rule list grows with the tree: as many rules as there are files.
    registry.Add("LoadDroppedRules", "", rows, rows, "ns/rule", target, BenchLoadDroppedRules, rows,
                 rows);
    registry.Add("ClearRules", "", rows, rows, "ns/rule", target, BenchClearRules, rows, rows);
    registry.AddBare("BareReadFileRows", rows, BenchBareReadFileRows, rows);
    registry.AddBare("BareReadRuleRows", rows, BenchBareRead, rows * sizeof(renamora::RuleRow));
  }
}

void WriteResults(std::ostream& out, const Plan& plan, const Registry& registry,
                  const MedianReporter& reporter) {
  out << "metric,value,unit,target,met\n";
  const auto& figures = registry.Figures();
  const auto& names = registry.Names();
  // (command, variant) -> rows -> ns
  std::map<std::pair<std::string, std::string>, std::map<std::size_t, double>> totals;
  std::map<std::pair<std::string, std::string>, bool> bare;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const double ns = reporter.MedianNs(names[i]);
    if (ns < 0) continue;
    WriteRow(out, figures[i].metric, ns / static_cast<double>(figures[i].per),
             figures[i].unit.c_str(), figures[i].target);
    const auto key = std::make_pair(figures[i].command, figures[i].variant);
    totals[key][figures[i].per] = ns;
    bare[key] = figures[i].bare;
  }
  // Linear growth: ten times the rows may cost at most twelve times the time.
  const std::size_t large = plan.sizes.back();
  const std::size_t middle = plan.sizes[1];
  for (const auto& [command, bySize] : totals) {
    auto a = bySize.find(large);
    auto b = bySize.find(middle);
    if (a == bySize.end() || b == bySize.end() || b->second <= 0) continue;
    WriteRow(out,
             "native/" + command.first + "/" + std::to_string(large) + "vs" +
                 std::to_string(middle) + command.second,
             a->second / b->second, "ratio", bare[command] ? 0 : 12);
  }
  for (const auto& [rows, bytes] : g_fileListBytes) {
    WriteRow(out, "native/file_list_bytes_per_row/" + std::to_string(rows) + "rows",
             static_cast<double>(bytes) / static_cast<double>(rows), "bytes", 0);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  WriteRow(out, "native/peak_memory/" + std::to_string(large) + "rows",
           static_cast<double>(usage.ru_maxrss) / 1024.0, "MB", 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::string csvPath;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--csv=", 0) == 0) {
      csvPath = arg.substr(6);
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

  const Plan plan = MakePlan();
  Registry registry(plan);
  RegisterAll(plan, registry);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  g_scenario.app.reset();

  if (!csvPath.empty()) {
    std::ofstream out(csvPath, std::ios::binary | std::ios::trunc);
    WriteResults(out, plan, registry, reporter);
    if (!out) {
      std::cerr << "cannot write " << csvPath << '\n';
      return 1;
    }
  } else {
    WriteResults(std::cout, plan, registry, reporter);
  }
  benchmark::Shutdown();
  if (!reporter.Failed().empty()) {
    for (const auto& name : reporter.Failed()) std::cerr << "FAILED: " << name << '\n';
    return 1;
  }
  return 0;
}
