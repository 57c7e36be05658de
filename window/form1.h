#pragma once

#include "letter_table.h"
#include "window_side.h"

#include <QWidget>

#include <filesystem>
#include <memory>

class LengthBox;
class QFrame;
class QLabel;
class QLineEdit;
class QScrollArea;
class ResultListBox;
class SolveButton;

/// The program's one window: the puzzle's instructions, the essential and other
/// letters, the minimum length, the Solve button, and the two result lists with
/// their counts. A press of Solve (or Enter, anywhere in the window but in the
/// length box's open drop-down) performs one solve run against "abc.txt" in the
/// executable's directory. The window opens at the design's size, centred, where
/// the screen has room for it; elsewhere it opens as large as the screen allows,
/// frame and all, and its controls scroll, the one with the focus into view.
class Form1 : public QWidget, private WindowSide {
    Q_OBJECT

public:
    /// Builds the window in its start-up state; the word list is looked for in
    /// `executableDirectory` at every run.
    explicit Form1(std::filesystem::path executableDirectory, QWidget* parent = nullptr);
    ~Form1() override;

protected:
    void moveEvent(QMoveEvent* event) override;

private slots:
    void solveClicked();

private:
    // What a solve run reads and writes.
    std::string text(InputField field) const override;
    void clear(ResultList list) override;
    void append(ResultList list, const EntryBatch& batch) override;
    std::size_t entryCount(ResultList list) const override;
    void setCaption(CountLabel label, std::string_view caption) override;
    void runEnded() override;
    void showMessage(std::string_view title, std::string_view text,
                     std::string_view cause) override;
    char32_t decimalSeparator() const override;

    void buildControls();
    void orderControls();
    void nameControlsForScreenReaders();
    void placeControls();
    void fitOnScreen();
    ResultListBox& listBox(ResultList list) const;

    // Memory set aside at each press of Solve and given back when the run ends, so
    // that a run that has used up the memory can still show what it listed and
    // its message.
    static constexpr std::size_t kReserveBytes = std::size_t{4} * 1024 * 1024;

    std::filesystem::path m_executableDirectory;
    LetterTable m_letterTable;  // carried from run to run
    std::unique_ptr<char[]> m_reserve;
    bool m_fittedWithFrame = false;

    QScrollArea* m_scroller = nullptr;  // fills the window; scrolls where it is too small
    QWidget* m_clientArea = nullptr;    // the design's client area, where the controls lie

    // The controls, by the names of the window's design; the captions are the
    // design's too, "Minimun Lenght" spelt so on purpose.
    QFrame* m_shape1 = nullptr;         // the outline around the instructions
    QLabel* m_label1 = nullptr;         // never written: always empty
    QLabel* m_label2 = nullptr;         // the count of List2
    QLabel* m_label3 = nullptr;         // the count of List3
    QLabel* m_label4 = nullptr;         // "Minimun Lenght", the heading of Combo1
    QLabel* m_label5 = nullptr;         // the puzzle's instructions
    QLabel* m_label7 = nullptr;         // the heading of List2
    QLabel* m_label8 = nullptr;         // the heading of List3
    QLabel* m_label9 = nullptr;         // "Essential", the heading of TextE
    QLabel* m_label10 = nullptr;        // "Others", the heading of TextO
    QLineEdit* m_textE = nullptr;       // the essential letters
    QLineEdit* m_textO = nullptr;       // the other letters
    LengthBox* m_combo1 = nullptr;      // the minimum length, typed or picked
    ResultListBox* m_list2 = nullptr;   // the words with the essential letters
    ResultListBox* m_list3 = nullptr;   // the solutions
    SolveButton* m_command3 = nullptr;  // Solve, the default button
};
