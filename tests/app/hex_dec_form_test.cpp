// The converter window and the pop-up conversion, driven offscreen.
#include "app/send/hex_dec_form.h"
#include "app/send/pop_form.h"
#include "app/shell/message_box.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <vector>

namespace {

class HexDecFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes_.push_back(request);
            return QMessageBox::Ok;
        });
        form_.show();
    }
    void TearDown() override { SetMessageBoxHandler({}); }

    // Text that arrives by pasting: not filtered by the keys.
    void Paste(QLineEdit *edit, const QString &text)
    {
        edit->clear();
        QApplication::clipboard()->setText(text);
        edit->paste();
    }
    void TypeKeys(QLineEdit *edit, const QString &keys)
    {
        for (QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    std::vector<QString> Texts() const
    {
        return { form_.Edit1->text(), form_.Edit2->text(), form_.Edit3->text() };
    }

    THexDecForm form_;
    std::vector<MessageBoxRequest> boxes_;
};

TEST_F(HexDecFormTest, EachFieldFillsTheOtherTwo)
{
    struct Case
    {
        int Field;
        QString Text;
        std::vector<QString> Expected;
    };
    const QString ones(45, '1');
    const Case cases[] = {
        { 0, "1F", { "1F", "31", "0001 1111 " } },
        { 0, "a", { "A", "10", "1010 " } },
        { 0, "A BC", { "A BC", "2748", "1010 1011 1100 " } },
        { 1, "007", { "7", "007", "0111 " } },
        { 1, "9999999999",
            { "2540BE3FF", "9999999999", "0010 0101 0100 0000 1011 1110 0011 1111 1111 " } },
        { 2, ones, { "1FFFFFFFFFFF", "35184372088831", ones } },
        { 2, "1 0 1", { "5", "5", "1 0 1" } },
    };
    QLineEdit *fields[] = { form_.Edit1, form_.Edit2, form_.Edit3 };
    for (const Case &c : cases) {
        Paste(fields[c.Field], c.Text);
        EXPECT_EQ(Texts(), c.Expected) << c.Text.toStdString();
    }
    EXPECT_TRUE(boxes_.empty());

    form_.Edit1->setText("");
    form_.Edit1Change();
    EXPECT_EQ(Texts(), (std::vector<QString> { "", "", "" }));
}

TEST_F(HexDecFormTest, PastedForeignCharactersAreRefusedAndTheFieldEmptied)
{
    const QString foreign[]
        = { "12G4", QString::fromUtf8("１２"), QString(5000, 'z'), QString("1") + QChar(0) + "2" };
    for (const QString &text : foreign) {
        boxes_.clear();
        form_.Edit2->setText("55");
        Paste(form_.Edit1, text);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].Text, "What you input is not Hex.");
        EXPECT_EQ(boxes_[0].Caption, "HexDecBin");
        EXPECT_EQ(boxes_[0].Owner, &form_);
        EXPECT_EQ(form_.Edit1->text(), "");
        EXPECT_EQ(form_.Edit2->text(), "55");
    }
    boxes_.clear();
    Paste(form_.Edit2, "1.5");
    Paste(form_.Edit3, "102");
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].Text, "What you input is not dec.");
    EXPECT_EQ(boxes_[1].Text, "What you input is not bin.");
}

TEST_F(HexDecFormTest, NumbersBeyondSixtyFourBitsAndBlankNumbersAreConversionErrors)
{
    form_.Edit1->setText("FF");
    Paste(form_.Edit2, "99999999999999999999");
    Paste(form_.Edit3, QString(64, '1'));
    Paste(form_.Edit1, "   ");
    ASSERT_EQ(boxes_.size(), 3u);
    EXPECT_EQ(boxes_[0].Text, "'99999999999999999999' is not a valid integer value.");
    EXPECT_EQ(boxes_[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(boxes_[2].Text, "'' is not a valid integer value.");
    EXPECT_EQ(form_.Edit2->text(), "99999999999999999999") << "the other fields keep their content";

    boxes_.clear();
    Paste(form_.Edit3, "   ");
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(form_.Edit2->text(), "0");
}

TEST_F(HexDecFormTest, KeysOutsideTheFieldAreDroppedAndTypingStopsAtTheLimit)
{
    form_.Edit1->clear();
    TypeKeys(form_.Edit1, "1g2-f");
    EXPECT_EQ(form_.Edit1->text(), "12F");
    EXPECT_EQ(form_.Edit2->text(), "303");

    form_.Edit2->clear();
    TypeKeys(form_.Edit2, "123456789012");
    EXPECT_EQ(form_.Edit2->text(), "1234567890");
    EXPECT_EQ(form_.Edit1->text(), "499602D2");

    form_.Edit3->clear();
    TypeKeys(form_.Edit3, "1021");
    EXPECT_EQ(form_.Edit3->text(), "101");
    EXPECT_TRUE(boxes_.empty());
}

TEST(PopForm, ShowsTheValueAboveThePointerSizedToTheBytes)
{
    TPopForm pop;
    pop.ShowConversion("256", "0000 0001 0000 0000 ", QPoint(300, 400));
    EXPECT_TRUE(pop.isVisible());
    EXPECT_EQ(pop.Edit1->text(), "256");
    EXPECT_EQ(pop.Edit2->text(), "0000 0001 0000 0000 ");
    EXPECT_GE(pop.ByteWidth(), 54);
    EXPECT_EQ(pop.Edit2->width(), 2 * pop.ByteWidth());
    EXPECT_EQ(pop.x(), 300);
    EXPECT_EQ(pop.y(), 400 - pop.height() - 10);
}

} // namespace
