#include "FuzzSupport.h"

#include "store/LogFormat.h"
#include "tally/NumberRules.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

using store::LogContents;
using store::LogFormat;

namespace {

bool isItemBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// The items as a reader that knows nothing of the format's code would take them:
// the first six lines of what lies within the read limit.
struct Lines
{
    std::array<std::string_view, store::kItemCount> items;
    std::array<bool, store::kItemCount> cut{};
    std::size_t found = 0;
};

Lines splitLines(std::string_view bytes)
{
    Lines lines;
    const bool goesOn = bytes.size() > LogFormat::kReadLimit;
    std::string_view rest = bytes.substr(0, LogFormat::kReadLimit);
    while (lines.found < store::kItemCount && !rest.empty()) {
        const std::size_t newline = rest.find('\n');
        std::string_view item = rest.substr(0, newline);
        lines.cut[lines.found] = goesOn && newline == std::string_view::npos;
        while (!item.empty() && isItemBlank(item.front()))
            item.remove_prefix(1);
        while (!item.empty() && isItemBlank(item.back()))
            item.remove_suffix(1);
        lines.items[lines.found++] = item;
        rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
    }
    return lines;
}

void checkContents(const LogContents& contents, std::string_view bytes)
{
    const Lines lines = splitLines(bytes);
    fuzz::check(contents.itemsFound == lines.found, "the items found are the lines read", bytes);
    for (std::size_t i = 0; i < store::kItemCount; ++i) {
        const std::string& caption = contents.captions[i];
        fuzz::check(contents.valid[i] || caption == "0", "an item that is not valid shows 0",
                    bytes);
        fuzz::check(fuzz::isGeneralNumberText(caption), "every caption is a general number text",
                    bytes);
        fuzz::check(!contents.valid[i] || i < contents.itemsFound,
                    "only an item that was found is valid", bytes);

        const std::string& raw = contents.rawItems[i];
        fuzz::check(raw.size() <= 43, "a quoted item is cut to a readable length", bytes);
        fuzz::check(std::none_of(
                        raw.begin(), raw.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }),
                    "a quoted item holds no control characters", bytes);
        if (i >= lines.found)
            continue;

        // Valid exactly for a number that was not cut at the limit and whose caption
        // reads back as a finite number at the next start.
        const std::optional<double> number = tally::strictNumber(lines.items[i]);
        const bool expectValid = !lines.cut[i] && number && fuzz::staysInRangeAt15Digits(*number);
        fuzz::check(contents.valid[i] == expectValid,
                    "an item is valid exactly when it is a finite number", bytes);
        if (expectValid)
            fuzz::check(caption == tally::generalNumberText(*number),
                        "a valid item shows as its general number text", bytes);
        if (lines.items[i].size() <= 40 && !lines.cut[i] &&
            std::none_of(lines.items[i].begin(), lines.items[i].end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
            }))
            fuzz::check(raw == lines.items[i], "a short item is quoted as found", bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    // Now and then the input is pushed up against the read limit, where a line
    // running past it must count as cut.
    std::string bytes;
    if (provider.ConsumeBool()) {
        const auto filler = provider.PickValueInArray({'0', ' ', '\n', '7', 'x'});
        const std::size_t shortBy = provider.ConsumeIntegralInRange<std::size_t>(0, 64);
        bytes.assign(LogFormat::kReadLimit - shortBy, filler);
    }
    bytes += provider.ConsumeRemainingBytesAsString();

    const LogContents read = LogFormat::parse(bytes);
    checkContents(read, bytes);

    // What is saved is read back as the same six captions, all of them valid.
    const std::string saved = LogFormat::saveForm(read.captions);
    const LogContents again = LogFormat::parse(saved);
    fuzz::check(again.captions == read.captions, "saved then read gives the same captions", bytes);
    fuzz::check(again.allValid() && again.itemsFound == store::kItemCount,
                "a saved log reads back whole", bytes);
    fuzz::check(LogFormat::saveForm(again.captions) == saved, "saving again changes nothing",
                bytes);
    fuzz::check(saved.size() >= 18 && saved.compare(saved.size() - 2, 2, "\r\n") == 0,
                "the save form ends every line with CR LF", bytes);
    return 0;
}
