// trelliwick-bench [DIRECTORY [E O M]]: how fast a solve run is, and how much memory
// it takes. Given E, O and M, it times only that puzzle on the 4M-line list (made
// again only if DIRECTORY lacks it), for quick loops and for profiles.
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
// and prints (a) and (b) against `wc -l`, (b) against (a), (c) against `wc -l` and
// (b), the peak resident memory, the resident memory each listed entry takes
// beyond its word's bytes, and the time to scroll a filled list to its end and
// select the last entry. Last, on an X server of its own (Xvfb), the time from the
// program's start to its window mapped, against a window of one label in the same
// run.

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

#include <X11/Xlib.h>
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
// adds each compare into a whole word, is slower than `wc -l` and so no floor.
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
    const auto verdict = [](double peak, double budget) {
        return peak <= budget ? "met" : "NOT MET";
    };
    std::printf(
        "nothing listed: peak resident %.0f MB = %.2f N; budget 1.3 N + 50 MB = %.0f MB: %s\n",
        unlisted, unlisted / n, 1.3 * n + 50, verdict(unlisted, 1.3 * n + 50));
    std::printf(
        "listed:         peak resident %.0f MB = %.2f N; budget 2.3 N + 50 MB = %.0f MB: %s\n",
        listed, listed / n, 2.3 * n + 50, verdict(listed, 2.3 * n + 50));
    std::filesystem::remove(list);
}

// (b): a window side that only counts what it is given.
class CountingWindow : public WindowSide {
public:
    CountingWindow(std::string e, std::string o, std::string m)
        : m_texts{std::move(e), std::move(o), std::move(m)} {}

    std::string text(InputField field) const override { return m_texts[static_cast<int>(field)]; }
    void clear(ResultList list) override { m_entries[static_cast<int>(list)] = 0; }
    void append(ResultList list, const EntryBatch& batch) override {
        m_entries[static_cast<int>(list)] += batch.size();
        m_bytes += batch.bytes.size();
    }
    std::size_t entryCount(ResultList list) const override {
        return m_entries[static_cast<int>(list)];
    }
    void setCaption(CountLabel, std::string_view) override {}
    void runEnded() override {}
    void showMessage(std::string_view, std::string_view, std::string_view) override {
        m_failed = true;
    }
    char32_t decimalSeparator() const override { return U'.'; }

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

// What one puzzle's window runs came to: their median, `wc -l`'s in the same
// turns, and the bytes an entry took beyond its word's, if measured.
struct Measured {
    double window = 0;
    double wcL = 0;
    double lines = 0;
    double bytesPerEntry = -1;
};

Measured measure(const Puzzle& puzzle) {
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
    // The window drawn once, empty, so that its own drawing's memory (its backing
    // store, the font's glyphs) is not counted as the entries'.
    QApplication::processEvents();
    form.repaint();
    ::malloc_trim(0);  // what earlier puzzles freed is not counted as this one's
    const double residentBefore = residentBytes();
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
    std::printf(
        "(c) window          %9.2f ms  %6.2f ns/line  %.2f x wc -l  %.2f x (b)  counts \"%s\" "
        "\"%s\"\n",
        window, window * 1e6 / static_cast<double>(lines), window / wcL, window / core,
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
    const auto entries = static_cast<double>(counter.entries(ResultList::List2) +
                                             counter.entries(ResultList::List3));
    Measured measured{window, wcL, static_cast<double>(lines)};
    if (entries >= 100'000) {
        std::sort(residents.begin(), residents.end());
        const double grown = residents[residents.size() / 2] - residentBefore;
        measured.bytesPerEntry = (grown - listed) / entries;
        std::printf("    resident %.0f MB before the runs; %.1f bytes an entry beyond the words'\n",
                    megabytes(residentBefore), measured.bytesPerEntry);
    }
    return measured;
}

// Prints whether `value` is at most `goal`, with what it is.
void printGoal(const char* what, double value, double goal, const char* unit) {
    std::printf("    %-58s %6.2f %s, at most %.2f: %s\n", what, value, unit, goal,
                value <= goal ? "met" : "NOT MET");
}

// The goals of the window runs on the 4M-line list, each against `wc -l` in the
// same run.
void printWindowGoals(const Measured& rare, const Measured& common, const Measured& every) {
    const auto againstWcL = [](const Measured& m) { return m.window / m.wcL; };
    const auto nsPerLine = [](const Measured& m) { return m.window * 1e6 / m.lines; };
    std::printf("\n== goals of the window runs, 4M lines\n");
    std::printf("    every line listed, min 0: %.1f ns/line; e + rtxaslnoi, min 4: %.1f ns/line\n",
                nsPerLine(every), nsPerLine(common));
    printGoal("every line listed, min 0, against wc -l", againstWcL(every), 6.0, "x");
    printGoal("e + rtxaslnoi, min 4, against wc -l", againstWcL(common), 7.0, "x");
    printGoal("e + rtxaslnoi, min 4, against every line listed", common.window / every.window, 1.2,
              "x");
    printGoal("q + uizaeon, min 4, against wc -l", againstWcL(rare), 2.0, "x");
    printGoal("bytes an entry beyond the words', every line listed", every.bytesPerEntry, 2.0, "B");
    printGoal("bytes an entry beyond the words', e + rtxaslnoi, min 4", common.bytesPerEntry, 2.0,
              "B");
}

// An X server of its own, stopped when this ends. Its display is one that no
// other server on the machine holds: servers in other file systems' /tmp (other
// containers) share the abstract socket names, and a client that asks for a
// display one of them holds reaches that one.
class PrivateXServer {
public:
    PrivateXServer() {
        const int first = 200 + static_cast<int>(::getpid() % 500);
        for (int display = first; display < first + 20 && m_display.empty(); ++display) {
            start(display);
        }
    }
    ~PrivateXServer() {
        if (m_server > 0) {
            ::kill(m_server, SIGTERM);
            ::waitpid(m_server, nullptr, 0);
        }
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    /// The display's name, such as ":1", or empty if the server did not start.
    const std::string& display() const { return m_display; }

private:
    // Starts a server on `display`, which tells that it takes connections by
    // writing the display's number; one that finds the display taken ends.
    void start(int display) {
        int pipe[2];
        if (::pipe(pipe) != 0) {
            return;
        }
        const std::string name = ':' + std::to_string(display);
        const pid_t server = ::fork();
        if (server == 0) {
            ::close(pipe[0]);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDERR_FILENO);
            const std::string fd = std::to_string(pipe[1]);
            ::execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
                     "1280x1024x24", "-nolisten", "tcp", nullptr);
            ::_exit(127);
        }
        ::close(pipe[1]);
        // The number, then a line end: the server ends if it cannot write both.
        std::string told;
        const auto start = Clock::now();
        while (told.find('\n') == std::string::npos &&
               Clock::now() - start < std::chrono::seconds(10)) {
            pollfd ready{pipe[0], POLLIN, 0};
            const int polled = ::poll(&ready, 1, 1'000);
            if (polled < 0 && errno != EINTR) {
                break;
            }
            char bytes[16];
            const ssize_t got = polled == 1 ? ::read(pipe[0], bytes, sizeof bytes) : 1;
            if (got <= 0) {
                break;  // the server ended
            }
            if (polled == 1) {
                told.append(bytes, static_cast<std::size_t>(got));
            }
        }
        if (told.find('\n') != std::string::npos) {
            m_server = server;
            m_display = name;
        } else if (server > 0) {
            ::kill(server, SIGTERM);
            ::waitpid(server, nullptr, 0);
        }
        ::close(pipe[0]);
    }

    pid_t m_server = -1;
    std::string m_display;
};

// The time from starting `program` with `arguments` on `display` to a window of
// it mapped there, in milliseconds; the program is then stopped. Negative if no
// window is mapped within ten seconds.
double millisecondsToMapped(Display* display, const std::string& displayName,
                            const std::vector<std::string>& command) {
    XSync(display, True);
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("DISPLAY", displayName.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        std::vector<char*> argv;
        argv.reserve(command.size() + 1);
        for (const std::string& argument : command) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    double elapsed = -1;
    pollfd events{ConnectionNumber(display), POLLIN, 0};
    while (elapsed < 0 && Clock::now() - start < std::chrono::seconds(10)) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            }
        }
        if (elapsed < 0) {
            ::poll(&events, 1, 100);
        }
    }
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    return elapsed;
}

// The start-up of the program beside that of a window of one label, started the
// same way in turns, as medians.
void measureStartUp() {
    std::cout << "\n== start-up, from the program started to its window mapped\n";
    const PrivateXServer server;
    if (server.display().empty()) {
        std::cout << "no X server: Xvfb did not tell its display within 10 s\n";
        return;
    }
    Display* display = XOpenDisplay(server.display().c_str());
    if (display == nullptr) {
        std::cout << "no X server: could not connect to Xvfb on " << server.display() << "\n";
        return;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    const std::vector<std::string> program = {TRELLIWICK_PROGRAM};
    const std::vector<std::string> oneLabel = {TRELLIWICK_ONE_LABEL_WINDOW};
    std::vector<double> programTimes;
    std::vector<double> oneLabelTimes;
    for (int i = 0; i < 3 * kRepeats; ++i) {
        programTimes.push_back(millisecondsToMapped(display, server.display(), program));
        oneLabelTimes.push_back(millisecondsToMapped(display, server.display(), oneLabel));
    }
    XCloseDisplay(display);
    std::sort(programTimes.begin(), programTimes.end());
    std::sort(oneLabelTimes.begin(), oneLabelTimes.end());
    const double ours = programTimes[programTimes.size() / 2];
    const double floor = oneLabelTimes[oneLabelTimes.size() / 2];
    std::printf(
        "trelliwick %.1f ms, a window of one label %.1f ms: %.2f x (medians of %d)%s\n", ours,
        floor, ours / floor, 3 * kRepeats,
        programTimes.front() < 0 || oneLabelTimes.front() < 0 ? " (SOME NEVER MAPPED)" : "");
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

    if (argc == 5) {
        QApplication app(argc, argv);
        const auto kept = directory / "big.txt";
        const auto bigList =
            std::filesystem::exists(kept) ? kept : makeBigList(directory, kBigListLines);
        static_cast<void>(measure({"one puzzle, 4M lines", bigList, argv[2], argv[3], argv[4]}));
        return 0;
    }
    if (argc != 1 && argc != 2) {
        std::cerr << "usage: trelliwick-bench [DIRECTORY [E O M]]\n";
        return 2;
    }
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

    static_cast<void>(
        measure({"nine-letter puzzle, default list", defaultList, "e", "rtxaslno", "4"}));
    const Measured rare =
        measure({"a rare essential letter, 4M lines", bigList, "q", "uizaeon", "4"});
    static_cast<void>(measure(
        {"every line passes the essential test, none is long enough", bigList, "", "", "99"}));
    static_cast<void>(measure(
        {"a common essential letter, a long minimum, 4M lines", bigList, "e", "rtxaslnoi", "40"}));
    const Measured common =
        measure({"a common essential letter, 4M lines", bigList, "e", "rtxaslnoi", "4"});
    const Measured every = measure({"every line listed, 4M lines", bigList, "", "", "0"});
    printWindowGoals(rare, common, every);
    measureStartUp();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return runTool("trelliwick-bench", run, argc, argv);
}
