#include "form1.h"

#include "caption_label.h"
#include "client_area_scroller.h"
#include "design.h"
#include "failure_message.h"
#include "form1_accessible.h"
#include "length_box.h"
#include "pointer_override.h"
#include "result_list_box.h"
#include "screen_fit.h"
#include "solve_button.h"
#include "solve_run.h"

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <limits>
#include <new>

namespace {

const QString kCaption =
    QStringLiteral("Trelliwick Solver") + QString(35, u' ') + QStringLiteral("by Qorvendal");
const QString kInstructions = QStringLiteral(
    "How many words of n or more letters can you make from the letters shown in the "
    "puzzle? In making a word, each letter may be used only once. Each word must "
    "contain the essential letter(s).");

QLineEdit* makeTextBox(QWidget* parent, const char* name) {
    auto* textBox = new QLineEdit(parent);
    textBox->setObjectName(QLatin1String(name));
    textBox->setMaxLength(std::numeric_limits<int>::max());
    return textBox;
}

QFrame* makeOutline(QWidget* parent, const char* name) {
    auto* outline = new QFrame(parent);
    outline->setObjectName(QLatin1String(name));
    outline->setFrameStyle(QFrame::Box | QFrame::Plain);
    outline->setLineWidth(1);
    outline->setAttribute(Qt::WA_TransparentForMouseEvents);
    return outline;
}

}  // namespace

Form1::Form1(std::filesystem::path executableDirectory, QWidget* parent)
    : QWidget(parent), m_executableDirectory(std::move(executableDirectory)) {
    static const bool accessibleInstalled = (QAccessible::installFactory(accessibleForm1), true);
    static_cast<void>(accessibleInstalled);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    setAutoFillBackground(true);
    // The background is colour A under any desktop palette, so what is drawn on it,
    // the captions and the outline, is dark under any palette too.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kColourA);
    palette.setColor(QPalette::WindowText, kTextOnColours);
    setPalette(palette);

    m_clientArea = new QWidget(this);  // until the scroll area takes it
    m_clientArea->setObjectName(QStringLiteral("ClientArea"));
    buildControls();
    orderControls();
    nameControlsForScreenReaders();
    placeControls();
    m_scroller = new ClientAreaScroller(m_clientArea, this);

    // The load step: "4" in the length box.
    m_combo1->setCurrentIndex(4);
    m_textE->setFocus();

    fitOnScreen();
}

Form1::~Form1() = default;

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window system tells the frame's size only once the window is on the
    // screen, with a move (the one it was given before it was shown, or the window
    // manager's): fitted again then, frame and title bar included.
    if (!m_fittedWithFrame && frameGeometry().size() != size()) {
        m_fittedWithFrame = true;
        fitOnScreen();
    }
}

void Form1::fitOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    const WindowFit fit = ::fitOnScreen({
        .available = screen->availableGeometry(),
        .pixelRatio = screen->devicePixelRatio(),
        .frame = frameGeometry().size() - size(),
        .design = m_clientArea->minimumSize(),
        .scrollBar =
            m_scroller->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroller),
        .smallest = minimumSizeHint(),
    });
    resize(fit.size);
    move(fit.frameTopLeft);
}

void Form1::buildControls() {
    QWidget* area = m_clientArea;
    m_label5 = new CaptionLabel("Label5", kInstructions, area);
    m_shape1 = makeOutline(area, "Shape1");
    m_label9 = new CaptionLabel("Label9", QStringLiteral("Essential"), area);
    m_textE = makeTextBox(area, "TextE");
    m_label10 = new CaptionLabel("Label10", QStringLiteral("Others"), area);
    m_textO = makeTextBox(area, "TextO");
    m_label4 = new CaptionLabel("Label4", QStringLiteral("Minimun Lenght"), area);
    m_combo1 = new LengthBox(area);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_label7 = new CaptionLabel(
        "Label7", QStringLiteral("Example of words with the essential letter(s)"), area);
    m_list2 = new ResultListBox("List2", area);
    m_label2 = new CaptionLabel("Label2", QString(), area);
    m_label8 =
        new CaptionLabel("Label8", QStringLiteral("List of words with the above letters"), area);
    m_list3 = new ResultListBox("List3", area);
    m_label1 = new CaptionLabel("Label1", QString(), area);
    m_command3 = new SolveButton(area);
    m_label3 = new CaptionLabel("Label3", QString(), area);
    connect(m_command3, &QPushButton::clicked, this, &Form1::solveClicked);
}

void Form1::orderControls() {
    // The outline lies over the instructions, the lists over their headings.
    m_shape1->raise();
    m_list2->raise();
    m_list3->raise();

    setTabOrder(m_textE, m_textO);
    setTabOrder(m_textO, m_combo1);
    setTabOrder(m_combo1, m_list2);
    setTabOrder(m_list2, m_list3);
    setTabOrder(m_list3, m_command3);
}

void Form1::nameControlsForScreenReaders() {
    m_label9->setBuddy(m_textE);
    m_label10->setBuddy(m_textO);
    m_label4->setBuddy(m_combo1);
    m_list2->setAccessibleName(m_label7->text());
    m_list3->setAccessibleName(m_label8->text());
    m_label2->setAccessibleDescription(m_label7->text());
    m_label3->setAccessibleDescription(m_label8->text());
}

void Form1::placeControls() {
    const auto control = [this](std::string_view name) {
        return m_clientArea->findChild<QWidget*>(
            QLatin1String(name.data(), static_cast<qsizetype>(name.size())),
            Qt::FindDirectChildrenOnly);
    };
    // Every caption, and the button's text, can be read whole.
    const double scale = layoutScale([&](std::string_view name, const QRect& shown) {
        const QWidget* widget = control(name);
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            return label->minimumSizeHint().width() <= shown.width() &&
                   label->heightForWidth(shown.width()) <= shown.height();
        }
        return widget != m_command3 || m_command3->minimumSizeHint().width() <= shown.width();
    });
    for (const auto& [name, place] : kDesignedControls) {
        control(name)->setGeometry(toPixels(place, scale));
    }
    m_clientArea->setMinimumSize(toPixels(kClientAreaPlace, scale).size());
    m_clientArea->resize(m_clientArea->minimumSize());
}

ResultListBox& Form1::listBox(ResultList list) const {
    return list == ResultList::List2 ? *m_list2 : *m_list3;
}

void Form1::solveClicked() {
    // Nothing may escape into the event loop, which would end the program.
    try {
        if (!m_reserve) {
            m_reserve.reset(new (std::nothrow) char[kReserveBytes]);
        }
        const PointerOverride busy(Qt::WaitCursor);
        solve(*this, m_letterTable, wordListPath(m_executableDirectory));
    } catch (...) {
        // Memory ran out even for the pointer; the run itself has ended.
    }
}

std::string Form1::text(InputField field) const {
    switch (field) {
        case InputField::TextE:
            return m_textE->text().toStdString();
        case InputField::TextO:
            return m_textO->text().toStdString();
        case InputField::Combo1:
            return m_combo1->currentText().toStdString();
    }
    return {};
}

void Form1::clear(ResultList list) {
    listBox(list).clear();
}

void Form1::append(ResultList list, const EntryBatch& batch) {
    listBox(list).append(batch);
}

std::size_t Form1::entryCount(ResultList list) const {
    return listBox(list).entryCount();
}

void Form1::setCaption(CountLabel label, std::string_view caption) {
    QLabel* target = label == CountLabel::Label2 ? m_label2 : m_label3;
    target->setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

void Form1::runEnded() {
    // A run that failed may have failed for want of memory: the reserve makes room
    // for what is shown now and for the message.
    m_reserve.reset();
    m_list2->showEntries();
    m_list3->showEntries();
}

void Form1::showMessage(std::string_view title, std::string_view text, std::string_view cause) {
    showFailureMessage(this, title, text, cause);
}

char32_t Form1::decimalSeparator() const {
    const QString separator = QLocale().decimalPoint();
    return separator.isEmpty() ? U'.' : separator.toUcs4().front();
}
