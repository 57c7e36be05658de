#pragma once

#include "window_side.h"

#include <optional>
#include <string>
#include <vector>

/// A window side without a display: it keeps the texts, lists, captions and the
/// last message it was shown. Tests and developer tools run solves against it.
class RecordingWindow : public WindowSide {
public:
    struct Message {
        std::string title;
        std::string text;
        std::string cause;
        int runsEndedBefore;  // how many runs had ended when it was shown
    };

    std::string essentials, others, minimum = "4";
    char32_t separator = U'.';
    std::vector<std::string> list2, list3;
    std::string label2, label3;
    std::optional<Message> message;
    int runsEnded = 0;

    /// Sets the three inputs and forgets the last message, as before a press of Solve.
    void type(std::string e, std::string o, std::string m) {
        essentials = std::move(e);
        others = std::move(o);
        minimum = std::move(m);
        message.reset();
    }

    std::string text(InputField field) const override {
        switch (field) {
            case InputField::TextE:
                return essentials;
            case InputField::TextO:
                return others;
            case InputField::Combo1:
                return minimum;
        }
        return {};
    }
    void clear(ResultList list) override { entries(list).clear(); }
    void append(ResultList list, const EntryBatch& batch) override {
        for (std::size_t i = 0; i < batch.size(); ++i) {
            entries(list).emplace_back(batch[i]);
        }
    }
    std::size_t entryCount(ResultList list) const override {
        return list == ResultList::List2 ? list2.size() : list3.size();
    }
    void setCaption(CountLabel label, std::string_view caption) override {
        (label == CountLabel::Label2 ? label2 : label3) = caption;
    }
    void runEnded() override { ++runsEnded; }
    void showMessage(std::string_view title, std::string_view text,
                     std::string_view cause) override {
        message = Message{std::string(title), std::string(text), std::string(cause), runsEnded};
    }
    char32_t decimalSeparator() const override { return separator; }

private:
    std::vector<std::string>& entries(ResultList list) {
        return list == ResultList::List2 ? list2 : list3;
    }
};
