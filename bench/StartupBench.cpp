// Start-up of the program against the bare baseline, interleaved run by run.
//
//   zoredev_startup_bench <runs> paint <program-probe> <baseline-probe>
//     spawns each probe and takes the time from just before the spawn to the end of
//     the window's first painted frame, which the probe prints (any platform);
//   zoredev_startup_bench <runs> map <program> <baseline>
//     spawns the real executables and takes the time until the X server maps their
//     window (X11 only), then reads their peak resident memory half a second later.
//
// Both run in the current directory, so the caller chooses which log they find.

#include "BenchSupport.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifdef ZOREDEV_BENCH_HAVE_XCB
#include "MapWatch.h"
#endif

extern char** environ;

namespace {

constexpr int kWarmUpRounds = 2;
constexpr int kChildTimeoutMs = 20'000;

struct Sample
{
    double startupMs = 0;   // spawn to first paint, or to window mapped
    double inProcessMs = 0; // main() entry to first paint; 0 when not known
    long peakKb = 0;
    QByteArray size;
};

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "zoredev_startup_bench: %s\n", why.c_str());
    std::exit(1);
}

// Qt's warnings on stderr (no runtime directory and the like) would only clutter the table.
pid_t spawn(const char* program, int stdoutFd, std::int64_t& spawnedNs)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    spawnedNs = bench::monotonicNs();
    const int error = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        fail(std::string("cannot start ") + program);
    return pid;
}

void reap(pid_t pid, const char* program)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        fail(std::string(program) + " exited with status " + std::to_string(WEXITSTATUS(status)));
}

QByteArray field(const QByteArray& line, const QByteArray& name)
{
    for (const QByteArray& part : line.trimmed().split(' ')) {
        if (part.startsWith(name + '='))
            return part.mid(name.size() + 1);
    }
    fail("the probe printed no " + name.toStdString() + ": " + line.toStdString());
}

Sample untilFirstPaint(const char* probe)
{
    int fds[2];
    if (pipe(fds) != 0)
        fail("cannot make a pipe");
    std::int64_t spawned = 0;
    const pid_t pid = spawn(probe, fds[1], spawned);
    close(fds[1]);
    QByteArray output;
    char buffer[256];
    pollfd wait{fds[0], POLLIN, 0};
    while (poll(&wait, 1, kChildTimeoutMs) > 0) {
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        output.append(buffer, got);
    }
    close(fds[0]);
    reap(pid, probe);
    Sample s;
    const double painted = field(output, "painted_ns").toDouble();
    s.startupMs = (painted - double(spawned)) / 1e6;
    s.inProcessMs = (painted - field(output, "main_ns").toDouble()) / 1e6;
    s.peakKb = field(output, "hwm_kb").toLong();
    s.size = field(output, "size");
    return s;
}

#ifdef ZOREDEV_BENCH_HAVE_XCB
Sample untilMapped(const char* program, MapWatch& watch)
{
    watch.drain();
    const int devNull = open("/dev/null", O_WRONLY);
    std::int64_t spawned = 0;
    const pid_t pid = spawn(program, devNull, spawned);
    close(devNull);
    const std::int64_t mapped = watch.nextMap(kChildTimeoutMs);
    if (mapped < 0)
        fail(std::string(program) + " mapped no window");
    // Painting follows the map; half a second later start-up is long over.
    usleep(500'000);
    Sample s;
    s.startupMs = double(mapped - spawned) / 1e6;
    s.peakKb = bench::peakResidentKb(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return s;
}
#endif

template <typename T> std::vector<T> column(const std::vector<Sample>& samples, T Sample::*member)
{
    std::vector<T> values;
    for (const Sample& s : samples)
        values.push_back(s.*member);
    return values;
}

template <typename T>
double medianRatio(const std::vector<Sample>& a, const std::vector<Sample>& b, T Sample::*member)
{
    return double(bench::median(column(a, member))) / double(bench::median(column(b, member)));
}

void printRow(const char* name, const std::vector<Sample>& samples, bool inProcess)
{
    const auto startup = column(samples, &Sample::startupMs);
    std::printf("  %-9s %8.2f ms  (min %7.2f, max %7.2f)", name, bench::median(startup),
                *std::min_element(startup.begin(), startup.end()),
                *std::max_element(startup.begin(), startup.end()));
    if (inProcess)
        std::printf("  main->paint %6.2f ms", bench::median(column(samples, &Sample::inProcessMs)));
    std::printf("  peak RSS %6.1f MiB",
                double(bench::median(column(samples, &Sample::peakKb))) / 1024.0);
    if (inProcess)
        std::printf("  window %s", samples.front().size.constData());
    std::printf("\n");
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 5)
        fail("usage: zoredev_startup_bench <runs> paint|map <program> <baseline>");
    const int runs = std::atoi(argv[1]);
    const std::string mode = argv[2];
    const char* programs[2] = {argv[3], argv[4]};
    if (runs < 1 || (mode != "paint" && mode != "map"))
        fail("runs must be positive and the mode paint or map");
#ifdef ZOREDEV_BENCH_HAVE_XCB
    std::unique_ptr<MapWatch> watch;
    if (mode == "map")
        watch = std::make_unique<MapWatch>();
#else
    if (mode == "map")
        fail("built without XCB, so it cannot watch windows being mapped");
#endif

    std::vector<Sample> samples[2];
    for (int round = 0; round < kWarmUpRounds + runs; ++round) {
        // Alternating which goes first keeps any drift from favouring one of them.
        for (int k = 0; k < 2; ++k) {
            const int which = (round + k) % 2;
            Sample s;
#ifdef ZOREDEV_BENCH_HAVE_XCB
            s = mode == "map" ? untilMapped(programs[which], *watch)
                              : untilFirstPaint(programs[which]);
#else
            s = untilFirstPaint(programs[which]);
#endif
            if (round >= kWarmUpRounds)
                samples[which].push_back(s);
        }
    }

    const bool inProcess = mode == "paint";
    std::printf("%s, %d runs each, interleaved; medians\n",
                inProcess ? "spawn -> first frame painted" : "spawn -> window mapped", runs);
    printRow("Zoredev", samples[0], inProcess);
    printRow("baseline", samples[1], inProcess);
    std::printf("  ratio     %8.3f", medianRatio(samples[0], samples[1], &Sample::startupMs));
    if (inProcess)
        std::printf("  main->paint ratio %5.3f",
                    medianRatio(samples[0], samples[1], &Sample::inProcessMs));
    std::printf("  peak RSS ratio %5.3f\n", medianRatio(samples[0], samples[1], &Sample::peakKb));
    return 0;
}
