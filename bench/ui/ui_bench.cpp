// The window benchmarks: how long the main window takes to open a set of 10,000 folder entries
// and show its tree, and the longest time the event loop is blocked while the window backs up
// the full corpus.
//   usage: ui_bench WORK-FOLDER CORPUS [RUNS]
#include "app/command_dispatcher.h"
#include "archive/archiver.h"
#include "common/file_io.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"
#include "ui/set_tree_view.h"
#include "ui/ui_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace corvane;
using Steady = std::chrono::steady_clock;

// Answers the backup's windows as a user who starts a single-archive backup and declines the
// test: "&Start Backup", and the safe answer of every box.
class BenchHost final : public ui::QtHost {
public:
    int runModal(QDialog& dialog) override {
        dialog.show();
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            std::fprintf(stderr, "box: %s\n", box->text().toUtf8().constData());
            box->escapeButton()->click();
        } else if (auto* start = dialog.findChild<QAbstractButton*>("cmdStart")) {
            start->click();
        } else {
            dialog.reject();
        }
        return dialog.result();
    }
};

class NoSettings final : public SettingsStore {
public:
    std::optional<std::string> value(std::string_view) const override { return std::nullopt; }
    void setValue(std::string_view, const std::string&) override {}
};

class NoLauncher final : public ProgramLauncher {
public:
    Status start(const std::string&, const std::vector<std::string>&) override { return {}; }
};

// Records the longest stretch in which the archive component raised no event at all: the
// window can only run its event loop from inside an event.
class GapObserver final : public archive::ArchiveObserver {
public:
    void onFileProgress(const std::string& name, int, bool) override { tick(name); }
    void onOverallProgress(const archive::OverallProgress&) override { tick(m_name); }
    bool onPreprocessingFile(const std::string& name, std::uint64_t, std::string& stored) override {
        stored = name;
        tick(name);
        return true;
    }
    void tick(const std::string& name) {
        const auto now = Steady::now();
        if (m_started) {
            const double gap = std::chrono::duration<double, std::milli>(now - m_last).count();
            if (gap > m_longest) {
                m_longest = gap;
                m_where = m_name + " .. " + name;
            }
        }
        m_started = true;
        m_last = now;
        m_name = name;
    }
    double longest() const { return m_longest; }
    const std::string& where() const { return m_where; }

private:
    bool m_started = false;
    Steady::time_point m_last{};
    std::string m_name;
    double m_longest = 0;
    std::string m_where;
};

std::string quoted(const std::string& line) {
    return "\"" + line + "\"\r\n";
}

// A set file with `entries`, whose archive goes to `archive`.
void writeSet(const std::string& path, const std::vector<std::string>& entries,
              const std::string& archive) {
    std::string text = quoted("Corvane Set - v6.0") + quoted("[OPTIONS]") +
                       quoted("IncludeSubFolders=1") + quoted("CompressionStyle=6") +
                       quoted("BackupFreshen=0") + quoted("BackupAddNew=0") +
                       quoted("DefaultLocation=" + archive) + quoted("[FOLDERS/PATHS]");
    for (const auto& entry : entries)
        text += quoted(entry);
    text += quoted("[END OF BACKUP]") + quoted("AllFolders=0");
    if (!writeFileAtomically(path, text)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Stack {
    explicit Stack(const std::string& home)
        : program(home, {gate, clock, fileSystem, drives, archiver, launcher}),
          help(home + "help/", gate, opener),
          dialogs(host),
          dispatcher(program, gate, launcher, dialogs, help),
          window(program, dispatcher, host, settings) {
        program.load("");
        window.show();
    }

    class NoOpener final : public DesktopOpener {
    public:
        bool openPage(const std::string&) override { return true; }
        bool openAddress(const std::string&) override { return true; }
    };

    BenchHost host;
    CommandGate gate{host};
    SystemClock clock;
    RealFileSystem fileSystem;
    RealDrives drives;
    archive::Archiver archiver;
    NoLauncher launcher;
    NoOpener opener;
    NoSettings settings;
    Program program;
    HelpPages help;
    ui::UiDialogs dialogs;
    CommandDispatcher dispatcher;
    ui::MainWindow window;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui_bench WORK-FOLDER CORPUS [RUNS]\n");
        return 64;
    }
    const std::string work = withTrailingSeparator(argv[1]);
    const std::string corpus = withTrailingSeparator(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    QApplication application(argc, argv);

    const std::string home = work + "home/";
    const std::string tree = work + "tree/";
    makeFolders(home + "Backup Sets");
    makeFolders(work + "out");
    std::vector<std::string> folders;
    for (int top = 0; top < 100; ++top) {
        for (int sub = 0; sub < 100; ++sub) {
            char name[64];
            std::snprintf(name, sizeof name, "d%03d/s%03d/", top, sub);
            folders.push_back(tree + name);
            makeFolders(folders.back());
        }
    }
    writeSet(home + "Backup Sets/Big.cvt", folders, work + "out/Big.bac");
    writeSet(home + "Backup Sets/Corpus.cvt", {corpus}, work + "out/Corpus.bac");

    Stack stack(home);
    // A backup of the corpus without questions: the default location, no test afterwards.
    stack.program.config().record().noAskDefault = 1;
    stack.program.config().record().testMode = 0;
    stack.program.config().record().logFile = 0;
    (void)stack.program.config().save();
    QApplication::processEvents();

    std::vector<double> openTimes;
    for (int run = 0; run < runs; ++run) {
        stack.program.document().closeSet();
        stack.window.syncTree();
        QApplication::processEvents();
        const auto start = Steady::now();
        stack.program.document().openSetAt(home + "Backup Sets/Big.cvt", "Big.cvt");
        stack.window.syncTree();
        stack.window.tree()->repaint();
        QApplication::processEvents();
        openTimes.push_back(std::chrono::duration<double>(Steady::now() - start).count());
    }
    const int shown = stack.window.tree()->topLevelItem(1)->childCount();
    std::printf(
        "open a set of %zu folder entries and show its tree: median %.3f s, slowest %.3f s"
        " (%d folder nodes shown)\n",
        folders.size(), median(openTimes), *std::max_element(openTimes.begin(), openTimes.end()),
        shown);

    stack.program.document().openSetAt(home + "Backup Sets/Corpus.cvt", "Corpus.cvt");
    stack.window.syncTree();
    std::vector<double> longest;
    std::vector<double> walls;
    for (int run = 0; run < runs; ++run) {
        std::filesystem::remove(work + "out/Corpus.bac");
        QElapsedTimer sinceTick;
        qint64 gap = 0;
        int ticks = 0;
        std::string lastLine;
        // The longest gaps, with the operation line before and after them.
        std::multimap<qint64, std::string, std::greater<>> gaps;
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const std::string line = stack.host.progressDisplay().operationLine();
            if (ticks++ > 0) {
                const qint64 elapsed = sinceTick.elapsed();
                gap = std::max(gap, elapsed);
                if (elapsed > 50)
                    gaps.emplace(elapsed, "after \"" + lastLine + "\" until \"" + line + "\"");
            }
            lastLine = line;
            sinceTick.restart();
        });
        timer.start();
        while (ticks == 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const auto start = Steady::now();
        stack.window.trigger(CommandId::Backup);
        walls.push_back(std::chrono::duration<double>(Steady::now() - start).count());
        QApplication::processEvents();
        timer.stop();
        longest.push_back(static_cast<double>(gap));
        std::printf(
            "backup run %d: %.2f s, %d event-loop turns of the 5 ms timer, longest gap "
            "%lld ms\n",
            run + 1, walls.back(), ticks, static_cast<long long>(gap));
        int shownGaps = 0;
        for (const auto& [length, where] : gaps) {
            if (shownGaps++ == 4) break;
            std::printf("  %lld ms %s\n", static_cast<long long>(length), where.c_str());
        }
    }
    std::printf(
        "backup of %s from the window: median %.2f s; longest event-loop gap: median %.0f "
        "ms, worst %.0f ms\n",
        corpus.c_str(), median(walls), median(longest),
        *std::max_element(longest.begin(), longest.end()));
    // The component alone, with no window: its own longest silence.
    for (int run = 0; run < runs; ++run) {
        archive::ArchiveSettings settings;
        settings.archivePath = work + "out/Direct.bac";
        settings.includes = {corpus + "*"};
        std::filesystem::remove(settings.archivePath);
        GapObserver observer;
        const auto start = Steady::now();
        const int code = stack.archiver.compress(settings, observer);
        std::printf(
            "component alone, run %d: result %d, %.2f s, longest stretch without an event "
            "%.0f ms (%s)\n",
            run + 1, code, std::chrono::duration<double>(Steady::now() - start).count(),
            observer.longest(), observer.where().c_str());
    }
    const bool treeOk = *std::max_element(openTimes.begin(), openTimes.end()) <= 1.0;
    const bool loopOk = *std::max_element(longest.begin(), longest.end()) <= 100.0;
    std::printf("targets: tree <= 1 s %s; event loop blocked <= 100 ms %s\n",
                treeOk ? "met" : "NOT met", loopOk ? "met" : "NOT met");
    return treeOk && loopOk ? 0 : 1;
}
