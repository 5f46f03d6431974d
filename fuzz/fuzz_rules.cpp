// Any bytes, as a typed count, as six counts of a frame, as a log file and as three
// logs whose counts two windows merge: no crash or sanitizer report, and the
// properties every caption relies on hold.
#include "store/LogFormat.h"
#include "tally/FrameFigures.h"
#include "tally/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>

#define CHECK(property)                                                                            \
    if (!(property))                                                                               \
    (std::fputs("property broken: " #property "\n", stderr), std::abort())

namespace {
const std::regex kMoney(R"(-?\$(0|[1-9][0-9]*)\.[0-9]{2}|Overflow)");

bool allValid(const store::LogContents& contents)
{
    return std::ranges::all_of(contents.valid, [](bool valid) { return valid; });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> counted = tally::count(text);
    // A count exactly where there is a number, and a whole one of zero or more.
    CHECK(tally::strictNumber(text).has_value() == counted.has_value());
    CHECK(!counted || (*counted >= 0 && std::floor(*counted) == *counted));
    CHECK(std::regex_match(tally::moneyText(tally::leadingNumber(text)), kMoney));

    tally::PerDenomination<std::string> counts;
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = text.substr(std::min(size, i * size / 6), size / 6);
    CHECK(std::regex_match(tally::FrameFigures::of(counts).totalFaceValue, kMoney));

    // What a log yields loads back unchanged once saved: no count is lost.
    const store::LogContents read = store::LogFormat::parse(text);
    const store::LogContents again =
        store::LogFormat::parse(store::LogFormat::saveForm(read.captions));
    CHECK(again.captions == read.captions && allValid(again));

    // What a window last read, what it shows and what another window saved meanwhile:
    // the merge loads back whole, and a side that changed nothing takes the other's.
    const auto third = [&](std::size_t i) {
        return store::LogFormat::parse(text.substr(i * size / 3, size / 3)).captions;
    };
    const store::Captions base = third(0), shown = third(1), onDisk = third(2);
    const store::Captions merged = store::LogFormat::merged(base, shown, onDisk);
    CHECK(allValid(store::LogFormat::parse(store::LogFormat::saveForm(merged))));
    CHECK(store::LogFormat::merged(base, shown, base) == shown);
    CHECK(store::LogFormat::merged(base, base, onDisk) == onDisk);
    return 0;
}
