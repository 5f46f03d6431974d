#include "store/LogFormat.h"

#include "tally/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace store {
namespace {

// Enough of a bad item for the user to recognise it in a message.
constexpr std::size_t kRawItemLength = 40;

constexpr std::string_view kLineEnd = "\r\n";

// Windows Notepad starts the text files it saves with a byte-order mark: UTF-8's,
// or UTF-16's in either byte order for "Unicode" and "Unicode big endian".
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLittleEndianMark = "\xFF\xFE", kBigEndianMark = "\xFE\xFF";

// The largest count whose 15-digit caption still reads back as a finite number.
constexpr double kLargestCount = 1.79769313486231e308;

// A hostile file may hold any bytes; control characters would garble the message
// that quotes the item, so they show as '?'.
std::string readable(std::string_view item, bool goesOn)
{
    std::string text(item.substr(0, kRawItemLength));
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }, '?');
    if (goesOn || item.size() > kRawItemLength)
        text += "...";
    return text;
}

// UTF-16 as the 8-bit text a log holds: only digits and the like make a count, so a
// unit beyond ASCII shows as '?', and an odd last byte, half a unit, is dropped.
std::string fromUtf16(std::string_view bytes, bool bigEndian)
{
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        const char low = bytes[bigEndian ? i + 1 : i];
        text.push_back(high == 0 && static_cast<unsigned char>(low) < 0x80 ? low : '?');
    }
    return text;
}

void takeItem(LogContents& contents, std::size_t index, std::string_view line, bool cut)
{
    const std::string_view item = tally::trimBlanks(line);
    contents.rawItems[index] = readable(item, cut);
    if (cut)
        return;
    const std::optional<double> number = tally::strictNumber(item);
    if (!number || !std::isfinite(*number))
        return;
    // The caption is what the next save writes, so it must read back as a finite
    // number too: for the very largest doubles its 15 digits round up past the
    // range, and the count would come back as 0 at the next start.
    std::string caption = tally::generalNumberText(*number);
    const std::optional<double> shown = tally::strictNumber(caption);
    if (!shown || !std::isfinite(*shown))
        return;
    contents.captions[index] = std::move(caption);
    contents.valid[index] = true;
}

// A caption that reads back as no finite number (a hand-edited log's, "Overflow")
// counts as 0, as it would at the next start.
double valueOf(const std::string& caption)
{
    const std::optional<double> number = tally::strictNumber(caption);
    return number && std::isfinite(*number) ? *number : 0.0;
}

} // namespace

LogContents LogFormat::parse(std::string_view bytes)
{
    // Bytes past the limit only tell that the file goes on, so that a line still
    // running at the limit counts as cut rather than as a shorter number.
    const bool goesOn = bytes.size() > kReadLimit;
    bytes = bytes.substr(0, kReadLimit);
    // A log edited in Notepad must not lose its counts: the mark belongs to no item.
    // Only a first one is such a mark; anywhere else the bytes are an item's.
    std::string decoded;
    if (bytes.starts_with(kLittleEndianMark) || bytes.starts_with(kBigEndianMark)) {
        decoded = fromUtf16(bytes.substr(2), bytes.starts_with(kBigEndianMark));
        bytes = decoded;
    } else if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }

    LogContents contents;
    contents.captions = zeros();
    std::size_t start = 0;
    while (contents.itemsFound < contents.captions.size() && start < bytes.size()) {
        const std::size_t newline = bytes.find('\n', start);
        const bool unended = newline == std::string_view::npos;
        const std::size_t end = unended ? bytes.size() : newline;
        takeItem(contents, contents.itemsFound++, bytes.substr(start, end - start),
                 unended && goesOn);
        start = end + 1;
    }
    return contents;
}

std::string LogFormat::saveForm(const Captions& captions)
{
    std::string bytes;
    for (const std::string& caption : captions) {
        bytes += caption;
        bytes += kLineEnd;
    }
    return bytes;
}

std::string LogFormat::seedForm()
{
    // How the original text-file writer printed a whole number: a blank in the
    // sign's place and one after.
    Captions zeros;
    zeros.fill(" 0 ");
    return saveForm(zeros);
}

Captions LogFormat::zeros()
{
    Captions zeros;
    zeros.fill("0");
    return zeros;
}

Captions LogFormat::merged(const LogState& base, const Captions& shown, const LogState& onDisk)
{
    const Captions was = base.value_or(zeros()), now = onDisk.value_or(zeros());
    Captions written;
    for (std::size_t i = 0; i < written.size(); ++i) {
        // In halves, so that shown - base cannot overflow on its way to a total that fits
        // (halving and doubling a count are exact); a total beyond the range would be saved
        // as a caption that the next start reads as 0, so it stops at the largest that fits.
        const double half = valueOf(now[i]) / 2 + (valueOf(shown[i]) / 2 - valueOf(was[i]) / 2);
        const double total = 2 * std::clamp(half, -kLargestCount / 2, kLargestCount / 2);
        written[i] = shown[i] == was[i] ? now[i]
                     : now[i] == was[i] ? shown[i]
                                        : tally::generalNumberText(total);
    }
    return written;
}

} // namespace store
