// trelliwick-bench [DIRECTORY]: how fast a solve run is, and how much memory it takes.
//
// Makes its word lists at run time, in DIRECTORY if given (and kept there): the
// default abc.txt of the build, a 4,000,000-line list (CRLF) of the system's SCOWL
// words, sorted, without duplicates, repeated, and a list of one line of 1 GiB.
//
// First, in a child process of its own for each, the peak resident memory of a run
// over the one-line list, with nothing listed and with the line listed by a window
// side that stores what it is given. Then for each puzzle it times, as medians of
// several runs:
//   (a) counting the list's line ends as `wc -l` does, the floor any reader must
//       pay, timed in turn with `wc -l` itself, which it must not be slower than,
//   (b) the core's solve run against a window side that only counts,
//   (c) the real window, offscreen, from Solve pressed to counts and lists shown,
// and prints (a) and (b) against `wc -l`, (b) against (a), the peak resident memory, and the time
// to scroll a filled list to its end and select the last entry.

#include "form1.h"
#include "letter_table.h"
#include "recording_window.h"
#include "solve_run.h"
#include "tool_main.h"
#include "window_side.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRepeats = 7;
constexpr std::size_t kBigListLines = 4'000'000;

double millisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double medianOf(const std::function<void()>& work) {
    std::vector<double> times;
    times.reserve(kRepeats);
    for (int i = 0; i < kRepeats; ++i) {
        times.push_back(millisecondsOf(work));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Medians of `first` and `second`, timed in turn, so that both see the same load.
std::pair<double, double> mediansInTurn(const std::function<void()>& first,
                                        const std::function<void()>& second) {
    constexpr int kTurns = 15;
    std::vector<double> firstTimes;
    std::vector<double> secondTimes;
    for (int i = 0; i < kTurns; ++i) {
        firstTimes.push_back(millisecondsOf(first));
        secondTimes.push_back(millisecondsOf(second));
    }
    std::sort(firstTimes.begin(), firstTimes.end());
    std::sort(secondTimes.begin(), secondTimes.end());
    return {firstTimes[kTurns / 2], secondTimes[kTurns / 2]};
}

double megabytes(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

double peakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0;
    double resident = 0;
    statm >> pages >> resident;
    return resident * 4096.0;
}

// The SCOWL words of every size, sorted and unique, repeated to `lines` lines.
std::filesystem::path makeBigList(const std::filesystem::path& directory, std::size_t lines) {
    std::vector<std::string> words;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/dict/scowl")) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("english-words.") || name.starts_with("american-words.") ||
            name.starts_with("british-words.")) {
            std::ifstream in(entry.path(), std::ios::binary);
            for (std::string line; std::getline(in, line);) {
                words.push_back(line);
            }
        }
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    if (words.empty()) {
        throw std::runtime_error("no SCOWL word lists in /usr/share/dict/scowl");
    }
    auto path = directory / "big.txt";
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < lines; ++i) {
        out << words[i % words.size()] << "\r\n";
    }
    return path;
}

// The LFs among `size` bytes. Counted in byte-wide lanes, which the compiler makes
// vectors of, emptied into the total before they can overflow: std::count, which
// adds each compare into a whole word, took twice as long as `wc -l` as a process.
std::size_t countLineFeeds(const char* bytes, std::size_t size) {
    constexpr std::size_t kLanes = 32;
    constexpr std::size_t kRounds = 255;  // what a byte can count
    std::size_t lineFeeds = 0;
    while (size >= kLanes) {
        const std::size_t rounds = std::min(kRounds, size / kLanes);
        std::uint8_t counts[kLanes] = {};
        for (std::size_t round = 0; round < rounds; ++round, bytes += kLanes) {
            for (std::size_t i = 0; i < kLanes; ++i) {
                counts[i] = static_cast<std::uint8_t>(counts[i] + (bytes[i] == '\n' ? 1 : 0));
            }
        }
        size -= rounds * kLanes;
        for (const std::uint8_t count : counts) {
            lineFeeds += count;
        }
    }
    return lineFeeds + static_cast<std::size_t>(std::count(bytes, bytes + size, '\n'));
}

// (a): read the file with read() in blocks of the reader's size and count its LFs,
// as `wc -l` does.
std::size_t countLines(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> block(std::size_t{256} * 1024);
    std::size_t lines = 0;
    for (ssize_t size; (size = ::read(fd, block.data(), block.size())) > 0;) {
        lines += countLineFeeds(block.data(), static_cast<std::size_t>(size));
    }
    ::close(fd);
    return lines;
}

// Performs `work` in a child process, which then ends, and returns the child's
// peak resident memory in bytes.
double runInChild(const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

// `wc -l` on the same file, as a process of its own, output discarded.
void runWcL(const std::filesystem::path& path) {
    runInChild([&] {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execlp("wc", "wc", "-l", path.c_str(), nullptr);
        ::_exit(127);
    });
}

// A list of one line of `bytes` letters, no line end.
std::filesystem::path makeOneLineList(const std::filesystem::path& directory, std::size_t bytes) {
    auto path = directory / "one-line.txt";
    std::ofstream out(path, std::ios::binary);
    const std::string block(1 << 20, 'a');
    for (std::size_t written = 0; written < bytes; written += block.size()) {
        out.write(block.data(),
                  static_cast<std::streamsize>(std::min(block.size(), bytes - written)));
    }
    return path;
}

// The peak memory of a run over one long line, with nothing listed and listed.
void measureOneLongLine(const std::filesystem::path& directory) {
    constexpr std::size_t kBytes = std::size_t{1} << 30;
    std::cout << "\n== one line of " << kBytes << " letters\n";
    const auto list = makeOneLineList(directory, kBytes);
    const auto peakOfRun = [&](const char* minimum) {
        return runInChild([&] {
            RecordingWindow window;  // stores what it is given
            LetterTable table;
            window.type("", "", minimum);
            solve(window, table, list);
            if (window.message || window.list2.size() != (minimum[0] == '0' ? 1u : 0u)) {
                std::fprintf(stderr, "the one-line run went wrong\n");
                ::_exit(1);
            }
        });
    };
    const double n = megabytes(static_cast<double>(kBytes));
    const double unlisted = megabytes(peakOfRun("9999999999"));
    const double listed = megabytes(peakOfRun("0"));
    std::printf("nothing listed: peak resident %.0f MB = %.2f N; budget 1.3 N + 50 MB = %.0f MB\n",
                unlisted, unlisted / n, 1.3 * n + 50);
    std::printf("listed:         peak resident %.0f MB = %.2f N; budget 2.3 N + 50 MB = %.0f MB\n",
                listed, listed / n, 2.3 * n + 50);
    std::filesystem::remove(list);
}

// (b): a window side that only counts what it is given.
class CountingWindow : public WindowSide {
public:
    CountingWindow(std::string e, std::string o, std::string m)
        : m_texts{std::move(e), std::move(o), std::move(m)} {}

    std::string text(InputField field) const override { return m_texts[static_cast<int>(field)]; }
    void clear(ResultList list) override { m_entries[static_cast<int>(list)] = 0; }
    void append(ResultList list, std::string_view word) override {
        ++m_entries[static_cast<int>(list)];
        m_bytes += word.size();
    }
    std::size_t entryCount(ResultList list) const override {
        return m_entries[static_cast<int>(list)];
    }
    void setCaption(CountLabel, std::string_view) override {}
    void runEnded() override {}
    void showMessage(std::string_view, std::string_view, std::string_view) override {
        m_failed = true;
    }

    std::size_t entries(ResultList list) const { return m_entries[static_cast<int>(list)]; }
    std::size_t bytesListed() const { return m_bytes; }
    bool failed() const { return m_failed; }

private:
    std::string m_texts[3];
    std::size_t m_entries[2] = {0, 0};
    std::size_t m_bytes = 0;
    bool m_failed = false;
};

struct Puzzle {
    const char* name;
    std::filesystem::path list;
    std::string essentials, others, minimum;
};

void measure(const Puzzle& puzzle) {
    std::cout << "\n== " << puzzle.name << ": E \"" << puzzle.essentials << "\", O \""
              << puzzle.others << "\", M \"" << puzzle.minimum << "\"\n";
    std::size_t lines = 0;
    const auto [lineCount, wcL] =
        mediansInTurn([&] { lines = countLines(puzzle.list); }, [&] { runWcL(puzzle.list); });

    CountingWindow counter(puzzle.essentials, puzzle.others, puzzle.minimum);
    LetterTable table;
    const double core = medianOf([&] { solve(counter, table, puzzle.list); });
    std::printf("lines %zu, List2 %zu entries, List3 %zu entries, %.1f MB of words listed%s\n",
                lines, counter.entries(ResultList::List2), counter.entries(ResultList::List3),
                megabytes(static_cast<double>(counter.bytesListed()) / kRepeats),
                counter.failed() ? " (FAILED)" : "");
    std::printf("    wc -l, a process %9.2f ms\n", wcL);
    std::printf("(a) line count      %9.2f ms  %6.2f ns/line  %.2f x wc -l: %s\n", lineCount,
                lineCount * 1e6 / static_cast<double>(lines), lineCount / wcL,
                lineCount <= wcL ? "a floor" : "SLOWER THAN wc -l, no floor");
    std::printf("(b) core solve      %9.2f ms  %6.2f ns/line  %.2f x (a)  %.2f x wc -l\n", core,
                core * 1e6 / static_cast<double>(lines), core / lineCount, core / wcL);

    // (c): the real window over a directory holding only this list as abc.txt.
    QTemporaryDir directory;
    std::filesystem::create_hard_link(
        puzzle.list, std::filesystem::path(directory.path().toStdString()) / "abc.txt");
    Form1 form(directory.path().toStdString());
    form.show();
    form.findChild<QLineEdit*>("TextE")->setText(QString::fromStdString(puzzle.essentials));
    form.findChild<QLineEdit*>("TextO")->setText(QString::fromStdString(puzzle.others));
    form.findChild<QComboBox*>("Combo1")->setEditText(QString::fromStdString(puzzle.minimum));
    auto* solveButton = form.findChild<QPushButton*>("Command3");
    auto* list2 = form.findChild<QListView*>("List2");
    std::vector<double> residents;
    const double window = medianOf([&] {
        solveButton->click();
        QApplication::processEvents();  // the lists lay out their new rows
        form.repaint();                 // counts and lists drawn
        residents.push_back(residentBytes());
    });
    const double scroll = millisecondsOf([&] {
        list2->scrollToBottom();
        list2->setCurrentIndex(list2->model()->index(list2->model()->rowCount() - 1, 0));
        QApplication::processEvents();
        form.repaint();
    });
    std::printf("(c) window          %9.2f ms  counts \"%s\" \"%s\"\n", window,
                form.findChild<QLabel*>("Label2")->text().toUtf8().constData(),
                form.findChild<QLabel*>("Label3")->text().toUtf8().constData());
    std::printf("    scroll List2 to its end and select  %.2f ms\n", scroll);
    std::printf("    resident after each window run (MB):");
    for (const double bytes : residents) {
        std::printf(" %.0f", megabytes(bytes));
    }
    const double listed = static_cast<double>(counter.bytesListed()) / kRepeats;
    std::printf("\n    peak resident %.0f MB; budget 2.5 x listed + 100 MB = %.0f MB\n",
                megabytes(peakResidentBytes()), megabytes(2.5 * listed) + 100);
}

int run(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir scratch;
    const std::filesystem::path directory =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::path(scratch.path().toStdString());
    std::filesystem::create_directories(directory);
    // Before anything else grows this process, which each child starts as a copy of.
    measureOneLongLine(directory);

    QApplication app(argc, argv);
    const std::filesystem::path defaultList = TRELLIWICK_DEFAULT_WORD_LIST;
    std::cout << "\nmaking a " << kBigListLines << "-line list of SCOWL words...\n";
    const auto bigList = makeBigList(directory, kBigListLines);
    std::printf("default list %.1f MB, big list %.1f MB; medians of %d runs\n",
                megabytes(static_cast<double>(std::filesystem::file_size(defaultList))),
                megabytes(static_cast<double>(std::filesystem::file_size(bigList))), kRepeats);
    std::printf("peak resident before the window runs %.0f MB\n", megabytes(peakResidentBytes()));

    measure({"nine-letter puzzle, default list", defaultList, "e", "rtxaslno", "4"});
    measure({"a rare essential letter, 4M lines", bigList, "q", "uizaeon", "4"});
    measure({"every line passes the essential test, none is long enough", bigList, "", "", "99"});
    measure(
        {"a common essential letter, a long minimum, 4M lines", bigList, "e", "rtxaslnoi", "40"});
    measure({"a common essential letter, 4M lines", bigList, "e", "rtxaslnoi", "4"});
    measure({"every line listed, 4M lines", bigList, "", "", "0"});
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return runTool("trelliwick-bench", run, argc, argv);
}
