// The loop and trigger settings window as the user meets it: shown on one
// panel, edited, confirmed or cancelled, offscreen with a private data folder.
#include "app/send/set_form.h"
#include "app/shell/message_box.h"
#include "support/pty_pair.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <vector>

namespace {

// A record that a confirmed window writes back unchanged: line numbers of at
// least 1, intervals of at least 20, whole seconds, active trigger rows only.
SettingsRecord StableRecord()
{
    SettingsRecord record = SettingsRecord::Defaults();
    record.Loop = { 1, 0, { 0, 0 }, 7, 3, 5, 250 };
    record.LoopSendEnabled = 1;
    TriggerParams &trigger = record.Trigger;
    trigger.TimingTriggerEnabled = 1;
    trigger.TimingTriggerTime = 0.25; // 06:00:00
    trigger.TimingRange = 0;
    trigger.TimingThisLine = 1;
    trigger.TimingFixedLine = 2;
    trigger.TimingRangeFrom = 4;
    trigger.TimingRangeTo = 6;
    trigger.TimingInterval = 500;
    trigger.ReceiveTriggerEnabled = 1;
    trigger.ReceiveTriggerList[0] = { 2, 5 };
    trigger.ReceiveTriggerList[3] = { 8, 9 };
    trigger.ReceiveTriggerDelay = 100;
    return record;
}

class SetFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes_.push_back(request);
            return QMessageBox::Ok;
        });
        QObject::connect(&form_, &TSetForm::ApplySettingsRequested, [this] { ++applied_; });
    }
    void TearDown() override { SetMessageBoxHandler({}); }

    template <typename T = QLineEdit> T *Control(const char *name)
    {
        T *control = form_.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Type(const char *edit, const QString &text) { Control(edit)->setText(text); }
    void SetCell(int row, int column, const QString &text)
    {
        form_.StringGrid2->setItem(row, column, new QTableWidgetItem(text));
    }
    QString Cell(int row, int column) const
    {
        const QTableWidgetItem *item = form_.StringGrid2->item(row, column);
        return item ? item->text() : QString();
    }
    void Press(QWidget *target, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    bool DataFileWritten() const { return std::filesystem::exists(folder_.Path() + "data"); }

    TempFolder folder_;
    SettingsRecord record_ = SettingsRecord::Defaults();
    std::string dataFolder_ = folder_.Path();
    TSetForm form_ { record_, [this] { return dataFolder_; } };
    std::vector<MessageBoxRequest> boxes_;
    int applied_ = 0;
};

using Field = std::function<uint32_t(const SettingsRecord &)>;

struct ClampCase
{
    const char *Edit;
    const char *Typed;
    Field Stored;
    uint32_t Expected;
};

const Field kLoopFixedLine = [](const SettingsRecord &r) { return r.Loop.LoopFixedLine; };
const Field kLoopRangeFrom = [](const SettingsRecord &r) { return r.Loop.LoopRangeFrom; };
const Field kLoopRangeTo = [](const SettingsRecord &r) { return r.Loop.LoopRangeTo; };
const Field kLoopInterval = [](const SettingsRecord &r) { return r.Loop.LoopInterval; };
const Field kTimingFixedLine = [](const SettingsRecord &r) { return r.Trigger.TimingFixedLine; };
const Field kTimingRangeFrom = [](const SettingsRecord &r) { return r.Trigger.TimingRangeFrom; };
const Field kTimingRangeTo = [](const SettingsRecord &r) { return r.Trigger.TimingRangeTo; };
const Field kTimingInterval = [](const SettingsRecord &r) { return r.Trigger.TimingInterval; };
const Field kDelay = [](const SettingsRecord &r) { return r.Trigger.ReceiveTriggerDelay; };

TEST_F(SetFormTest, OkStoresTypedNumbersWithTheLineAndIntervalMinimums)
{
    const ClampCase cases[] = {
        { "Edit10", "0", kLoopInterval, 20 },
        { "Edit10", "5", kLoopInterval, 20 },
        { "Edit10", "19", kLoopInterval, 20 },
        { "Edit10", "20", kLoopInterval, 20 },
        { "Edit10", "1000", kLoopInterval, 1000 },
        { "Edit10", "-1", kLoopInterval, 4294967295u }, // unsigned: not below 20
        { "Edit9", "19", kTimingInterval, 20 },
        { "Edit9", "1000", kTimingInterval, 1000 },
        { "Edit2", "0", kLoopFixedLine, 1 },
        { "Edit3", "0", kLoopRangeFrom, 1 },
        { "Edit4", "0", kLoopRangeTo, 1 },
        { "Edit6", "0", kTimingFixedLine, 1 },
        { "Edit7", "0", kTimingRangeFrom, 1 },
        { "Edit8", "0", kTimingRangeTo, 1 },
        { "Edit2", "$10", kLoopFixedLine, 16 },
        { "Edit3", "0x10", kLoopRangeFrom, 16 },
        { "Edit8", "x10", kTimingRangeTo, 16 },
        { "Edit2", " 12", kLoopFixedLine, 12 },
        { "Edit2", "-1", kLoopFixedLine, 4294967295u },
        { "Edit1", "0", kDelay, 0 }, // the delay has no minimum
        { "Edit1", "7", kDelay, 7 },
    };
    for (const ClampCase &c : cases) {
        SCOPED_TRACE(std::string(c.Edit) + " = \"" + c.Typed + "\"");
        record_ = SettingsRecord::Defaults();
        form_.ShowTriggerPanel();
        Type(c.Edit, QString::fromLatin1(c.Typed));
        form_.Button1->click();
        EXPECT_EQ(c.Stored(record_), c.Expected);
        EXPECT_FALSE(form_.isVisible());
    }
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(SetFormTest, StoredPatternOfANegativeNumberIsShownUnsignedAndRejectedNextTime)
{
    form_.ShowLoopPanel();
    Type("Edit2", "-1");
    form_.Button3->click();
    ASSERT_EQ(record_.Loop.LoopFixedLine, 0xFFFFFFFFu);

    form_.ShowLoopPanel();
    EXPECT_EQ(form_.Edit2->text(), "4294967295");
    form_.Button3->click();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Text, "'4294967295' is not a valid integer value.");
    EXPECT_TRUE(form_.isVisible());
    EXPECT_EQ(applied_, 1);
}

TEST_F(SetFormTest, FieldThatIsNotAnIntegerStopsTheReadBackThere)
{
    record_ = StableRecord();
    form_.ShowTriggerPanel();
    Type("Edit2", "11"); // loop panel: read before
    form_.CheckBox2->setChecked(false); // read before
    Type("Edit6", "12"); // read before
    Type("Edit7", "abc"); // the bad field
    Type("Edit8", "13"); // read after
    Type("Edit1", "14"); // read after
    form_.Button1->click();

    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(boxes_[0].Text, "'abc' is not a valid integer value.");
    EXPECT_TRUE(form_.isVisible());
    EXPECT_EQ(record_.Loop.LoopFixedLine, 11u);
    EXPECT_EQ(record_.Trigger.TimingTriggerEnabled, 0);
    EXPECT_EQ(record_.Trigger.TimingFixedLine, 12u);
    EXPECT_EQ(record_.Trigger.TimingRangeFrom, 4u);
    EXPECT_EQ(record_.Trigger.TimingRangeTo, 6u);
    EXPECT_EQ(record_.Trigger.ReceiveTriggerDelay, 100u);
    EXPECT_FALSE(DataFileWritten());
    EXPECT_EQ(applied_, 0);
}

TEST_F(SetFormTest, EveryKindOfNonIntegerIsRejected)
{
    struct BadCase
    {
        std::function<void()> Enter;
        const char *Message;
    };
    const BadCase cases[] = {
        { [this] { Type("Edit10", ""); }, "'' is not a valid integer value." },
        { [this] { Type("Edit4", "2147483648"); }, "'2147483648' is not a valid integer value." },
        { [this] { Type("Edit9", "12 "); }, "'12 ' is not a valid integer value." },
        { [this] { Type("Edit1", "1.5"); }, "'1.5' is not a valid integer value." },
        { [this] { SetCell(2, 1, " "); },
            "' ' is not a valid integer value." }, // blank is not empty
        { [this] { SetCell(3, 2, "x"); }, "'x' is not a valid integer value." },
    };
    for (const BadCase &c : cases) {
        SCOPED_TRACE(c.Message);
        boxes_.clear();
        form_.ShowTriggerPanel();
        c.Enter();
        form_.Button1->click();
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].Text, c.Message);
        form_.Button2->click();
    }
    EXPECT_FALSE(DataFileWritten());
    EXPECT_EQ(applied_, 0);
}

TEST_F(SetFormTest, CancelDiscardsTheEdits)
{
    record_ = StableRecord();
    const SettingsRecord stored = record_;
    form_.ShowLoopPanel();
    Type("Edit2", "99");
    form_.RadioButton1->setChecked(true);
    form_.CheckBox1->setChecked(false);
    form_.Button4->click();
    EXPECT_FALSE(form_.isVisible());

    form_.ShowTriggerPanel();
    Type("Edit1", "5");
    SetCell(0, 1, "");
    Press(form_.Edit1, Qt::Key_Escape);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(std::memcmp(&record_, &stored, sizeof stored), 0);

    form_.ShowLoopPanel();
    EXPECT_EQ(form_.Edit2->text(), "7");
    EXPECT_TRUE(form_.RadioButton2->isChecked());
    EXPECT_TRUE(form_.CheckBox1->isChecked());
    EXPECT_EQ(form_.Edit1->text(), "100");
    EXPECT_EQ(Cell(0, 1), "2");
    EXPECT_FALSE(DataFileWritten());
    EXPECT_EQ(applied_, 0);
}

TEST_F(SetFormTest, OkWithoutEditsSavesTheRecordUnchangedThenAsksToApplyIt)
{
    record_ = StableRecord();
    const SettingsRecord stored = record_;
    bool savedBeforeApply = false;
    bool visibleAtApply = false;
    QObject::connect(&form_, &TSetForm::ApplySettingsRequested, [&] {
        savedBeforeApply = DataFileWritten();
        visibleAtApply = form_.isVisible();
    });

    form_.ShowLoopPanel();
    Press(form_.Edit10, Qt::Key_Return);

    EXPECT_EQ(applied_, 1);
    EXPECT_TRUE(savedBeforeApply);
    EXPECT_TRUE(visibleAtApply);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(std::memcmp(&record_, &stored, sizeof stored), 0);

    ASSERT_EQ(std::filesystem::file_size(folder_.Path() + "data"), kSettingsRecordSize);
    SettingsRecord loaded = SettingsRecord::Defaults();
    LoadSettings(loaded, folder_.Path());
    EXPECT_EQ(std::memcmp(&loaded, &stored, sizeof stored), 0);
}

TEST_F(SetFormTest, RecordThatCannotBeSavedIsReportedAndTheWindowStaysOpen)
{
    dataFolder_ = folder_.Path() + "blocked/";
    std::ofstream(folder_.Path() + "blocked") << "a file where the folder should be";

    form_.ShowTriggerPanel();
    form_.Button1->click();

    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(form_.isVisible());
    EXPECT_EQ(applied_, 0);
}

TEST_F(SetFormTest, TriggerRowsWithoutAnAnswerLineAreInactive)
{
    form_.ShowTriggerPanel();
    SetCell(0, 2, "4"); // only "Trig.Line"
    SetCell(1, 1, "3"); // only "Rec.Line"
    SetCell(2, 1, "2");
    SetCell(2, 2, "5");
    SetCell(9, 1, "0x0A");
    SetCell(9, 2, "1");
    form_.Button1->click();

    const ReceiveTriggerRow *list = record_.Trigger.ReceiveTriggerList;
    EXPECT_EQ(list[0].RecLine, 0u);
    EXPECT_EQ(list[0].TrigLine, 4u);
    EXPECT_EQ(list[1].RecLine, 0u);
    EXPECT_EQ(list[1].TrigLine, 0u);
    EXPECT_EQ(list[2].RecLine, 2u);
    EXPECT_EQ(list[2].TrigLine, 5u);
    EXPECT_EQ(list[9].RecLine, 10u);
    EXPECT_EQ(list[9].TrigLine, 1u);

    form_.ShowTriggerPanel();
    const QString shown[][2] = { { "", "" }, { "", "" }, { "2", "5" }, { "", "" }, { "", "" },
        { "", "" }, { "", "" }, { "", "" }, { "", "" }, { "10", "1" } };
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(Cell(row, 0), QString::number(row + 1));
        EXPECT_EQ(Cell(row, 1), shown[row][0]) << "row " << row + 1;
        EXPECT_EQ(Cell(row, 2), shown[row][1]) << "row " << row + 1;
    }
    EXPECT_FALSE(form_.StringGrid2->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(form_.StringGrid2->horizontalHeaderItem(1)->text(), "Rec.Line");
}

// The panel sizes are a floor: a wider font than the one they were drawn for
// grows the window instead of cutting controls off.
void ExpectFixedSizeOfAtLeast(const QWidget &window, QSize size)
{
    EXPECT_GE(window.width(), size.width());
    EXPECT_GE(window.height(), size.height());
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST_F(SetFormTest, EachOpenerShowsItsPanelAtItsSize)
{
    form_.ShowTriggerPanel();
    EXPECT_TRUE(form_.isVisible());
    EXPECT_TRUE(form_.Panel3->isVisible());
    EXPECT_FALSE(form_.Panel1->isVisible());
    ExpectFixedSizeOfAtLeast(form_, TSetForm::kTriggerPanelSize);

    form_.Edit1->setText("123");
    form_.ShowLoopPanel(); // already shown: switches panel without refilling
    EXPECT_TRUE(form_.Panel1->isVisible());
    EXPECT_FALSE(form_.Panel3->isVisible());
    ExpectFixedSizeOfAtLeast(form_, TSetForm::kLoopPanelSize);
    EXPECT_EQ(form_.Edit1->text(), "123");
    EXPECT_EQ(form_.windowTitle(), "Settings");
    EXPECT_TRUE(form_.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(form_.isModal());

    // Every control of a panel lies inside the window.
    for (QWidget *panel : { form_.Panel1, form_.Panel3 }) {
        panel == form_.Panel1 ? form_.ShowLoopPanel() : form_.ShowTriggerPanel();
        QApplication::processEvents();
        for (QWidget *child : panel->findChildren<QWidget *>()) {
            if (!child->isVisibleTo(&form_))
                continue;
            const QRect area(child->mapTo(&form_, QPoint(0, 0)), child->size());
            EXPECT_TRUE(form_.rect().contains(area)) << child->objectName().toStdString();
        }
    }
}

TEST_F(SetFormTest, RangeChoiceEnablesTheRangeEditsOfTheLoopOnly)
{
    record_.Loop.LoopRange = 1;
    record_.Trigger.TimingRange = 1;
    form_.ShowTriggerPanel();
    EXPECT_TRUE(form_.RadioButton2->isChecked());
    EXPECT_TRUE(form_.Edit3->isEnabled());
    EXPECT_FALSE(form_.Edit2->isEnabled());
    EXPECT_FALSE(form_.RadioButton4->isEnabled());
    EXPECT_TRUE(form_.RadioButton8->isChecked());
    EXPECT_TRUE(form_.Edit6->isEnabled()); // timing controls stay enabled
    EXPECT_TRUE(form_.RadioButton7->isChecked());

    form_.RadioButton1->click();
    EXPECT_TRUE(form_.Edit2->isEnabled());
    EXPECT_TRUE(form_.RadioButton5->isEnabled());
    EXPECT_FALSE(form_.Edit4->isEnabled());
    EXPECT_TRUE(form_.RadioButton8->isChecked()); // the pairs are independent
    EXPECT_TRUE(form_.RadioButton7->isChecked());

    form_.RadioButton4->click();
    form_.RadioButton3->click();
    form_.Button1->click();
    EXPECT_EQ(record_.Loop.LoopRange, 0);
    EXPECT_EQ(record_.Loop.LoopThisLine, 1);
    EXPECT_EQ(record_.Trigger.TimingRange, 0);
    EXPECT_EQ(record_.Trigger.TimingThisLine, 0);
}

TEST_F(SetFormTest, TriggerTimeIsTheTimeOfDayOfTheStoredValue)
{
    const struct
    {
        double Stored;
        QTime Shown;
    } cases[] = {
        { 0.5, QTime(12, 0, 0) },
        { 45000.75, QTime(18, 0, 0) }, // the date part is ignored
        { 0.5 + 0.4 / 86400, QTime(12, 0, 0) },
        { 0.5 + 0.6 / 86400, QTime(12, 0, 0) }, // the trigger fires at 12:00:00
        { 0.500006944, QTime(12, 0, 0) },
        { 1.0 - 0.2 / 86400, QTime(23, 59, 59) },
        { std::numeric_limits<double>::quiet_NaN(), QTime(0, 0, 0) },
        { std::numeric_limits<double>::infinity(), QTime(0, 0, 0) },
        { -0.25, QTime(6, 0, 0) }, // before the epoch the fraction still counts
        { 1e300, QTime(0, 0, 0) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Stored);
        record_.Trigger.TimingTriggerTime = c.Stored;
        form_.ShowTriggerPanel();
        EXPECT_EQ(form_.DateTimePicker1->time(), c.Shown);
        form_.Button2->click();
    }

    form_.ShowTriggerPanel();
    form_.DateTimePicker1->setTime(QTime(12, 0, 0));
    form_.Button1->click();
    EXPECT_EQ(record_.Trigger.TimingTriggerTime, 0.5);
    EXPECT_EQ(form_.DateTimePicker1->displayFormat(), "HH:mm:ss");
}

} // namespace
