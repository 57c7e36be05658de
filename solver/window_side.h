#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

/// The controls a solve run reads from and writes to.
enum class InputField { TextE, TextO, Combo1 };
enum class ResultList { List2, List3 };
enum class CountLabel { Label2, Label3 };

/// Words for the end of a result list, in order: their bytes back to back, and
/// where each one ends among them.
struct EntryBatch {
    std::string_view bytes;
    std::span<const std::size_t> ends;

    std::size_t size() const { return ends.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t start = i == 0 ? 0 : ends[i - 1];
        return bytes.substr(start, ends[i] - start);
    }
};

/// The window as a solve run sees it. The main window implements it; tests and
/// tools implement it without a display. Every text crosses in UTF-8.
class WindowSide {
public:
    virtual ~WindowSide() = default;

    /// The field's current text.
    virtual std::string text(InputField field) const = 0;

    /// Removes every entry of the list.
    virtual void clear(ResultList list) = 0;
    /// Adds the words of `batch`, in order, as the list's last entries.
    virtual void append(ResultList list, const EntryBatch& batch) = 0;
    /// The number of entries in the list.
    virtual std::size_t entryCount(ResultList list) const = 0;

    /// Sets the label's caption.
    virtual void setCaption(CountLabel label, std::string_view caption) = 0;

    /// The run has ended, completed or failed: what it listed should show now,
    /// before any message.
    virtual void runEnded() = 0;

    /// Shows a modal message with one OK button and no icon; returns once it is closed.
    /// `cause` says what failed, for whoever diagnoses it, not for the message.
    virtual void showMessage(std::string_view title, std::string_view text,
                             std::string_view cause) = 0;

    /// The decimal separator of the user's locale, for the minimum length.
    virtual char32_t decimalSeparator() const = 0;
};
