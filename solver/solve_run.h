#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

class ByteSource;
class LetterTable;
class WindowSide;

/// A solve run is what one press of Solve does. It reads the essential letters E,
/// the other letters O and the minimum length M from the window, opens the word
/// list, clears both result lists, and then takes each line of the list in turn:
/// the first fill of the letter table, the first length gate (no shorter than E),
/// the EssentialTest, and if the word is long enough it joins List2; then the
/// second fill, the second length gate (no longer than E and O together), the
/// PoolTest, and if the word is long enough it joins List3. At the end of the list
/// it writes the number of essential matches into Label2 and the number of
/// solutions into Label3. Either way, the run tells the window when it has ended,
/// before any message, so that what it listed shows.
///
/// Any failure on the way (the list missing or unreadable, M not a number when a
/// word first needs it, more letters than the table holds, memory running out)
/// stops the run at once and shows the one failure message, whatever the cause;
/// the cause goes to the window with it, for the log. Words already listed stay
/// listed, the count labels keep their captions, and the file is closed.

inline constexpr std::string_view kWordListName = "abc.txt";
inline constexpr std::string_view kFailureTitle = "trelliwick";
inline constexpr std::string_view kFailureText =
    "File containing list of words - 'abc.txt' not found.";

/// The word list's place: "abc.txt" in `executableDirectory`.
std::filesystem::path wordListPath(const std::filesystem::path& executableDirectory);

/// Opens the word list afresh for a run; throws when it can't.
using OpenWordList = std::function<std::unique_ptr<ByteSource>()>;

/// Performs one solve run against the word list that `openList` opens, with `table`
/// carried over from earlier runs. Returns when the run is over, whichever way;
/// nothing is thrown, even when the window side fails to show the message.
void solve(WindowSide& window, LetterTable& table, const OpenWordList& openList) noexcept;

/// The same against the word list file at `wordList`.
void solve(WindowSide& window, LetterTable& table, const std::filesystem::path& wordList) noexcept;
