#pragma once

#include "tally/Denomination.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace store {

using Captions = std::array<std::string, tally::kDenominationCount>;
// What a window knows the log on disk to hold: its six captions as LogFormat::parse
// gives them, or nothing when there is no log file.
using LogState = std::optional<Captions>;

// What a log file said, item by item, in the walk order of the denomination table.
struct LogContents
{
    // Each item as the window shows it: the general number text of the number, or
    // "0" for an item that was missing or not a number.
    Captions captions;
    // False where the item was missing or not a (finite) number and "0" stands in.
    std::array<bool, tally::kDenominationCount> valid{};
    // The item's text as found (blanks trimmed, cut to a readable length), for messages.
    Captions rawItems;
    // How many of the six items the file held at all.
    std::size_t itemsFound = 0;
};

// The file format, free of any file system access so it can be tested and fuzzed alone.
class LogFormat
{
public:
    // Only this many bytes from the start of a file are ever looked at: six items
    // need far fewer, and a huge or hostile file must load at once.
    static constexpr std::size_t kReadLimit = 64 * 1024;

    // First six lines (CR LF or LF), blanks around each item ignored. Only the first
    // kReadLimit bytes are looked at; when more follow, a line still running at the
    // limit has been cut and is invalid.
    static LogContents parse(std::string_view bytes);

    // Each caption exactly as given, each line ended by CR LF, nothing else.
    static std::string saveForm(const Captions& captions);

    // Six lines " 0 " CR LF: what a fresh log holds.
    static std::string seedForm();

    // Six "0": the counts of no log at all.
    static Captions zeros();

    // The counts to write so that neither what a window logged since `base` nor what
    // another window wrote meanwhile (`onDisk`) is lost: onDisk + (shown - base), item
    // by item. An absent log counts as zeros, an item that is not a number as 0. An
    // item that only one side changed is taken as that side's text, so a window alone
    // writes exactly what it shows; a sum beyond the range is held at its edge.
    static Captions merged(const LogState& base, const Captions& shown, const LogState& onDisk);
};

} // namespace store
