#include "result_list_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> shownRows(const ResultListModel& model) {
    std::vector<std::string> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows.push_back(model.index(row, 0).data().toString().toStdString());
    }
    return rows;
}

TEST(ResultListModel, EveryEntryReadsBackAcrossBlocks) {
    // Empty words, words that fill blocks past their end, and one longer than a block.
    std::vector<std::string> words;
    words.reserve(300'002);
    for (int i = 0; i < 300'000; ++i) {
        words.push_back(i % 7 == 0 ? std::string() : "word" + std::to_string(i));
    }
    words.emplace_back("caf\xC3\xA9");
    ResultListModel model;
    for (std::size_t i = 0; i < words.size(); ++i) {
        model.append(words[i]);
        if (i == 1000) {
            model.append(std::string(3'000'000, 'x'));
        }
    }
    EXPECT_EQ(model.entryCount(), words.size() + 1);
    model.publish();
    std::vector<std::string> rows = shownRows(model);
    EXPECT_EQ(rows[1001], std::string(1024, 'x') + "\xE2\x80\xA6");  // cut short to be drawn
    rows.erase(rows.begin() + 1001);
    EXPECT_EQ(rows, words);
}

TEST(ResultListModel, ALongEntryIsCutBetweenCharacters) {
    ResultListModel model;
    model.append(std::string(1023, 'a') + "\xC3\xA9" + "z");  // é spans bytes 1023 and 1024
    model.append(std::string(1024, 'b'));
    model.publish();
    EXPECT_EQ(shownRows(model), (std::vector<std::string>{std::string(1023, 'a') + "\xE2\x80\xA6",
                                                          std::string(1024, 'b')}));
}

TEST(ResultListModel, EntriesShowOnlyWhenPublishedAndClearDropsThem) {
    ResultListModel model;
    model.append("rate");
    model.append("tree");
    EXPECT_EQ(model.entryCount(), 2u);
    EXPECT_EQ(model.rowCount(), 0);
    model.publish();
    EXPECT_EQ(shownRows(model), (std::vector<std::string>{"rate", "tree"}));
    model.append("tax");
    model.publish();
    EXPECT_EQ(model.rowCount(), 3);
    model.clear();
    EXPECT_EQ(model.entryCount(), 0u);
    EXPECT_EQ(model.rowCount(), 0);
    model.append("axe");
    model.publish();
    EXPECT_EQ(shownRows(model), (std::vector<std::string>{"axe"}));
}

}  // namespace
