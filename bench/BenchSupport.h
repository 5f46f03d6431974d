#pragma once

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <sys/types.h>
#include <vector>

namespace bench {

// CLOCK_MONOTONIC is one clock for every process on the machine, so a time taken by
// the driver before it spawns a program and one printed by that program subtract.
inline std::int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// VmHWM of /proc/<pid>/status, the most resident memory the process has had; -1
// when the process is gone.
inline long peakResidentKb(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmHWM:");
    if (at < 0)
        return -1;
    return text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').front().toLong();
}

// Nearest-rank percentile (0 < p <= 100) of a copy of the samples.
template <typename T> T percentile(std::vector<T> samples, double p)
{
    if (samples.empty())
        return T{};
    const auto rank = std::clamp<std::size_t>(
        std::size_t(std::ceil(p / 100.0 * double(samples.size()))), 1, samples.size());
    std::nth_element(samples.begin(), samples.begin() + (rank - 1), samples.end());
    return samples[rank - 1];
}

template <typename T> T median(const std::vector<T>& samples)
{
    return percentile(samples, 50);
}

} // namespace bench
