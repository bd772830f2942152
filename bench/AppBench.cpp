// Benchmarks of the main window: the caret update with a long item list and a large help file.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/ApplicationSetup.h"
#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/Splash.h"
#include "bench/BenchApplication.h"
#include "bench/FreshProcess.h"
#include "bench/VocabGenerator.h"
#include "qt/PlusMemoWidget.h"

namespace qm::bench {
namespace {

namespace fs = std::filesystem;

// The texts of every <tag> element of a generated vocabulary, trimmed.
std::vector<std::string> ElementsOf(const std::string& xml, const std::string& tag) {
  std::vector<std::string> words;
  const std::string open = "<" + tag + ">";
  const std::string close = "</" + tag + ">";
  for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
    const size_t begin = at + open.size();
    const size_t end = xml.find(close, begin);
    if (end == std::string::npos) break;
    std::string word = xml.substr(begin, end - begin);
    const size_t first = word.find_first_not_of(" \t\r\n");
    const size_t last = word.find_last_not_of(" \t\r\n");
    if (first != std::string::npos) words.push_back(word.substr(first, last - first + 1));
  }
  return words;
}

// A help file of at least `bytes` bytes: an element with a syntax line and a
// description for every function, the descriptions as long as it takes.
std::string GenerateHelp(const std::vector<std::string>& functions, size_t bytes) {
  const std::string sentence = "Возвращает значение для объекта сценария; пример и подробности ниже. ";
  const size_t perItem = bytes / functions.size() + 1;
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<help>\n";
  for (const std::string& name : functions) {
    xml += "  <" + name + " syntax=\"[ref.]" + name + " value\">";
    for (size_t written = 0; written < perItem; written += sentence.size()) xml += sentence;
    xml += "</" + name + ">\n";
  }
  return xml + "</help>\n";
}

// A temporary current directory holding data/ and a configuration folder
// that selects the category "Все".
class TWindowData {
 public:
  TWindowData() : root_(fs::temp_directory_path() / ("quillmark-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(root_ / "data");
    fs::create_directories(root_ / "config");
    const std::string vocabulary = GenerateVocabulary(2900);
    functions_ = ElementsOf(vocabulary, "function");
    std::ofstream(root_ / "data/scriptitems.xml", std::ios::binary) << vocabulary;
    std::ofstream(root_ / "data/help.xml", std::ios::binary) << GenerateHelp(functions_, 2u << 20);
    std::ofstream(root_ / "data/user.txt", std::ios::binary) << "";
    std::ofstream(root_ / "config/Quillmark.ini", std::ios::binary) << "[Inspector]\nValue=4\n";
    previous_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(root_.string()));
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  }
  ~TWindowData() {
    QDir::setCurrent(previous_);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  const std::vector<std::string>& Functions() const { return functions_; }
  size_t HelpBytes() const { return fs::file_size(root_ / "data/help.xml"); }

 private:
  fs::path root_;
  QString previous_;
  std::vector<std::string> functions_;
};

// One caret move in the script editor, with its whole update: status bar,
// list match, context buttons, help file check and help lookup.
void BM_CaretUpdate(benchmark::State& state) {
  EnsureApplication();
  TWindowData data;
  TForm1 form;
  form.show();
  // A script of calls; the caret alternates between the ends of two names,
  // so every move selects another item and shows its help.
  std::u16string script = u"begin GameMode\r\n";
  std::vector<int> stops;
  for (size_t i = 0; i < 200; ++i) {
    const std::string& name = data.Functions()[(i * 37) % data.Functions().size()];
    script += u"  set x to player.";
    script += std::u16string(name.begin(), name.end());
    stops.push_back(static_cast<int>(script.size()));
    script += u" 1\r\n";
  }
  script += u"end\r\n";
  form.PlusMemoU1.SetText(script);
  size_t next = 0;
  for (auto _ : state) {
    form.PlusMemoU1.SetSelStart(stops[next]);
    next = (next + 1) % stops.size();
  }
  state.counters["items"] = static_cast<double>(form.Items().size());
  state.counters["help_MB"] = static_cast<double>(data.HelpBytes()) / (1 << 20);
}
BENCHMARK(BM_CaretUpdate)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Calls back at the first paint of a widget.
class TFirstPaint : public QObject {
 public:
  TFirstPaint(QWidget* widget, std::function<void()> painted) : painted_(std::move(painted)) {
    widget->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && painted_) {
      watched->removeEventFilter(this);
      // The paint event itself runs first; the call back follows it.
      QTimer::singleShot(0, this, std::exchange(painted_, nullptr));
    }
    return false;
  }

 private:
  std::function<void()> painted_;
};

// From the program's start (a fresh process in a folder whose data/ holds
// about 3,000 items and a 2 MB help file) to the main window painted with its
// vocabulary loaded, the splash made but not waited for.
void BM_StartToMainWindow(benchmark::State& state) {
  TWindowData data;
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now().time_since_epoch();
    const std::vector<double> painted = RunChild("QM_BENCH_START_CHILD", "1");
    if (painted.size() != 1) {
      state.SkipWithError("the child failed");
      return;
    }
    total += (painted[0] - static_cast<double>(std::chrono::nanoseconds(start).count())) / 1e6;
  }
  state.counters["start_to_painted_ms"] = total / static_cast<double>(state.iterations());
  state.counters["items"] = static_cast<double>(data.Functions().size());
}
BENCHMARK(BM_StartToMainWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int MeasureStartChild() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int argc = 1;
  char name[] = "quillmark";
  char* argv[] = {name, nullptr};
  TQuillmarkApplication app(argc, argv);
  SetUpApplication(app);
  TForm1 form;
  form.Form9 = std::make_unique<TForm9>();
  form.CreateForms();
  std::chrono::nanoseconds painted{0};
  TFirstPaint watch(form.PlusMemoU1Widget->viewport(), [&] {
    painted = std::chrono::steady_clock::now().time_since_epoch();
    QCoreApplication::quit();
  });
  form.show();
  QApplication::exec();
  std::printf("%lld\n", static_cast<long long>(painted.count()));
  return painted.count() > 0 ? 0 : 1;
}

namespace {}  // namespace
}  // namespace qm::bench
