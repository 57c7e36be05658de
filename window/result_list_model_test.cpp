#include "result_list_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Appends `words` to `model` as one batch.
void appendWords(ResultListModel& model, const std::vector<std::string>& words) {
    std::string bytes;
    std::vector<std::size_t> ends;
    for (const std::string& word : words) {
        bytes += word;
        ends.push_back(bytes.size());
    }
    model.append(EntryBatch{bytes, ends});
}

void appendWord(ResultListModel& model, const std::string& word) {
    appendWords(model, {word});
}

std::vector<std::string> shownRows(const ResultListModel& model) {
    std::vector<std::string> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows.push_back(model.index(row, 0).data().toString().toStdString());
    }
    return rows;
}

TEST(ResultListModel, EveryEntryReadsBackAcrossBlocks) {
    // Empty words, words that fill blocks past their end, one longer than a block,
    // and words of lengths around the one that a length byte holds.
    std::vector<std::string> words;
    words.reserve(300'010);
    for (int i = 0; i < 300'000; ++i) {
        words.push_back(i % 7 == 0      ? std::string()
                        : i % 1009 == 1 ? std::string(static_cast<std::size_t>(254 + i % 3), 'l') +
                                              std::to_string(i)
                                        : "word" + std::to_string(i));
    }
    for (const int length : {127, 128, 254, 255, 256, 1000, 16'384, 254, 255}) {
        words.emplace_back(static_cast<std::size_t>(length), static_cast<char>('a' + length % 26));
    }
    words.emplace_back("caf\xC3\xA9");
    // In batches of a word, of a few and of many, which the blocks' ends cut.
    ResultListModel model;
    std::vector<std::string> batch;
    std::size_t batchSize = 1;
    for (std::size_t i = 0; i < words.size(); ++i) {
        batch.push_back(words[i]);
        if (i == 1000) {
            batch.emplace_back(3'000'000, 'x');
        }
        if (batch.size() >= batchSize || i + 1 == words.size()) {
            appendWords(model, batch);
            batch.clear();
            batchSize = batchSize * 7 % 5000 + 1;
        }
    }
    EXPECT_EQ(model.entryCount(), words.size() + 1);
    model.publish();
    std::vector<std::string> rows = shownRows(model);
    EXPECT_EQ(rows[1001], std::string(1024, 'x') + "\xE2\x80\xA6");  // cut short to be drawn
    rows.erase(rows.begin() + 1001);
    for (std::string& word : words) {
        if (word.size() > 1024) {
            word = word.substr(0, 1024) + "\xE2\x80\xA6";
        }
    }
    EXPECT_EQ(rows, words);
}

TEST(ResultListModel, ARunAfterAClearReadsBackOnlyItsOwnEntries) {
    // The first run fills two blocks; the next take them up again with
    // entries of other lengths, past the first run's, and the last a block more.
    ResultListModel model;
    for (int i = 0; i < 150'000; ++i) {
        appendWord(model, "first" + std::to_string(i));
    }
    model.publish();
    for (const std::size_t entries : {std::size_t{60'000}, std::size_t{5}, std::size_t{200'000}}) {
        model.clear();
        EXPECT_EQ(model.rowCount(), 0);
        std::vector<std::string> words;
        for (std::size_t i = 0; i < entries; ++i) {
            words.push_back(i % 3 == 0 ? "w" : "second" + std::to_string(i * 7));
            appendWord(model, words.back());
        }
        model.publish();
        EXPECT_EQ(model.entryCount(), entries);
        EXPECT_EQ(shownRows(model), words);
    }
}

TEST(ResultListModel, ALongEntryIsCutBetweenCharacters) {
    ResultListModel model;
    appendWord(model, std::string(1023, 'a') + "\xC3\xA9" + "z");  // é spans bytes 1023 and 1024
    appendWord(model, std::string(1024, 'b'));
    model.publish();
    EXPECT_EQ(shownRows(model), (std::vector<std::string>{std::string(1023, 'a') + "\xE2\x80\xA6",
                                                          std::string(1024, 'b')}));
}

TEST(ResultListModel, EntriesShowOnlyWhenPublishedAndClearDropsThem) {
    // The longest entry shown too, the first of those as long.
    ResultListModel model;
    appendWord(model, "rate");
    appendWord(model, "tree");
    EXPECT_EQ(model.entryCount(), 2u);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.longestRow(), -1);
    model.publish();
    EXPECT_EQ(shownRows(model), (std::vector<std::string>{"rate", "tree"}));
    EXPECT_EQ(model.longestRow(), 0);
    appendWord(model, "tax");
    appendWord(model, "taxes");
    EXPECT_EQ(model.longestRow(), 0);
    model.publish();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.longestRow(), 3);
    model.clear();
    EXPECT_EQ(model.entryCount(), 0u);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.longestRow(), -1);
    appendWord(model, "axe");
    model.publish();
    EXPECT_EQ(shownRows(model), (std::vector<std::string>{"axe"}));
    EXPECT_EQ(model.longestRow(), 0);
}

}  // namespace
