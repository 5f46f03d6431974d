// Any bytes, as a typed count, as six counts of a frame, and as a log file: no
// crash or sanitizer report, and the properties every caption relies on hold.
#include "store/LogFormat.h"
#include "tally/FrameFigures.h"
#include "tally/NumberRules.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>

namespace {
void check(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

const std::regex kMoney(R"(-?\$(0|[1-9][0-9]*)\.[0-9]{2}|Overflow)");
const std::regex kShare(R"(-?(0|[1-9][0-9]*)\.[0-9]{2}%|Overflow)");
const std::regex kGeneral(
    R"(0|-?[1-9][0-9]*(\.[0-9]*[1-9])?|-?0\.[0-9]*[1-9]|-?[1-9](\.[0-9]*[1-9])?E[+-][1-9][0-9]*|Overflow)");
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> number = tally::strictNumber(text);
    const std::optional<double> counted = tally::count(text);
    check(number.has_value() == counted.has_value(), "a count exactly where there is a number");
    check(!counted || (*counted >= 0 && std::floor(*counted) == *counted), "counts are whole");
    check(!std::isnan(tally::leadingNumber(text)), "a leading number is a number");
    if (number && std::isfinite(*number)) {
        check(std::regex_match(tally::generalNumberText(*number), kGeneral), "general text");
        check(std::regex_match(tally::moneyText(*number), kMoney), "money text");
        check(std::regex_match(tally::shareText(*number), kShare), "share text");
    }

    tally::PerDenomination<std::string> counts;
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = text.substr(std::min(size, i * size / 6), size / 6);
    const tally::FrameFigures figures = tally::FrameFigures::of(counts);
    check(std::regex_match(figures.coinTotal, kGeneral), "coin total");
    check(std::regex_match(figures.totalFaceValue, kMoney), "total face value");
    for (std::size_t i = 0; i < counts.size(); ++i)
        check(std::regex_match(figures.shares[i], kShare), "share");

    // What a log yields loads back unchanged once saved: no count is lost.
    const store::LogContents read = store::LogFormat::parse(text);
    const store::LogContents again =
        store::LogFormat::parse(store::LogFormat::saveForm(read.captions));
    check(again.captions == read.captions && again.allValid(), "a saved log reads back whole");
    for (std::size_t i = 0; i < read.captions.size(); ++i)
        check(read.valid[i] || read.captions[i] == "0", "a damaged item shows 0");
    return 0;
}
