// The receive filter window driven through its slots offscreen.
#include "app/send/filter_form.h"
#include "app/shell/message_box.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

class FilterFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes_.push_back(request);
            return QMessageBox::Ok;
        });
        QObject::connect(&form_, &TFilterForm::ApplySettingsRequested, [this] { ++applied_; });
        QObject::connect(&form_, &TFilterForm::Closed, [this] { ++closed_; });
    }
    void TearDown() override { SetMessageBoxHandler({}); }

    void SetRow(int row, const QString &byteNo, const QString &value)
    {
        form_.StringGrid1->item(row, 1)->setText(byteNo);
        form_.StringGrid1->item(row, 2)->setText(value);
    }
    QString Cell(int row, int column) const { return form_.StringGrid1->item(row, column)->text(); }

    SettingsRecord settings_ = SettingsRecord::Defaults();
    TFilterForm form_ { settings_ };
    std::vector<MessageBoxRequest> boxes_;
    int applied_ = 0;
    int closed_ = 0;
};

TEST_F(FilterFormTest, ShowsHeaderRowNumbersAndStoredEntries)
{
    settings_.FilterEntries[0].FilterByteNo = 3;
    settings_.FilterEntries[0].SetFilterValue("0A");
    settings_.FilterEntries[1].FilterByteNo = 0;
    settings_.FilterEntries[1].SetFilterValue("FF");
    settings_.FilterEnabled = 1;
    form_.show();

    EXPECT_EQ(form_.windowTitle(), "Receiving Filter");
    QTableWidget *grid = form_.StringGrid1;
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Items");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Byte No.");
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Value(Hex)");
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(Cell(row, 0), QString::number(row + 1));
        EXPECT_FALSE(grid->item(row, 0)->flags() & Qt::ItemIsEditable);
    }
    EXPECT_EQ(Cell(0, 1), "3");
    EXPECT_EQ(Cell(0, 2), "0A");
    EXPECT_EQ(Cell(1, 1), "");
    EXPECT_EQ(Cell(1, 2), "");
    EXPECT_TRUE(form_.CheckBox1->isChecked());
}

TEST_F(FilterFormTest, OkStoresEnablesAppliesAndCloses)
{
    form_.show();
    SetRow(0, "1", "0a");
    SetRow(1, "", "rubbish");
    form_.CheckBox1->setChecked(true);
    form_.Button1Click();

    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(settings_.FilterEntries[0].FilterByteNo, 1);
    EXPECT_EQ(settings_.FilterEntries[0].FilterValue(), "0A");
    EXPECT_EQ(settings_.FilterEntries[1].FilterByteNo, 0);
    EXPECT_EQ(settings_.FilterEnabled, 1);
    EXPECT_EQ(applied_, 1);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(closed_, 1);
}

TEST_F(FilterFormTest, BadCellIsSelectedAndNamedAndTheSwitchStaysAsItWas)
{
    struct Case
    {
        QString ByteNo, Value, Message;
        int Column;
    };
    const Case cases[] = {
        { "1A", "01", "The input value must be integer.", 1 },
        { "2", "0A ", "The input value must be hexadecimal.", 2 },
        { "0", "", "The input value must be hexadecimal.", 2 },
    };
    for (const Case &c : cases) {
        boxes_.clear();
        form_.show();
        SetRow(0, "4", "04");
        SetRow(2, c.ByteNo, c.Value);
        form_.CheckBox1->setChecked(true);
        form_.Button1Click();

        ASSERT_EQ(boxes_.size(), 1u) << c.ByteNo.toStdString();
        EXPECT_EQ(boxes_[0].Caption, "Filter");
        EXPECT_EQ(boxes_[0].Text, c.Message);
        EXPECT_EQ(boxes_[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(boxes_[0].Owner, &form_);
        EXPECT_EQ(form_.StringGrid1->currentRow(), 2);
        EXPECT_EQ(form_.StringGrid1->currentColumn(), c.Column);
        EXPECT_TRUE(form_.isVisible());
        EXPECT_EQ(settings_.FilterEntries[0].FilterByteNo, 4)
            << "earlier rows keep their new values";
        EXPECT_EQ(settings_.FilterEnabled, 0);
        EXPECT_EQ(applied_, 0);
    }
}

TEST_F(FilterFormTest, CancelStoresNothingAndReopeningShowsTheRecord)
{
    form_.show();
    SetRow(0, "7", "77");
    form_.CheckBox1->setChecked(true);
    form_.Button2->click();
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(closed_, 1);
    EXPECT_EQ(settings_.FilterEntries[0].FilterByteNo, 0);
    EXPECT_EQ(settings_.FilterEnabled, 0);

    form_.show();
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_FALSE(form_.CheckBox1->isChecked());
}

} // namespace
