// The tool windows as the main window opens and uses them: every command shows
// its window, the filter reaches the renderer, colours reach the views, the
// colour button acts on the active view, window places are kept.
#include "app/engine/data_rt.h"
#include "app/send/filter_form.h"
#include "app/send/hex_dec_form.h"
#include "app/send/pop_form.h"
#include "app/send/send_form.h"
#include "app/shell/colors.h"
#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "app/tools/about_form.h"
#include "app/tools/asc_form.h"
#include "app/tools/b_color_set_form.h"
#include "app/tools/color_button.h"
#include "app/tools/color_chooser.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"
#include "support/qt_action_named.h"
#include "support/qt_main_form_test.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class ToolWindowsTest : public MainFormTestBase
{
protected:
    void SetUp() override
    {
        MainFormTestBase::SetUp();
        SetColorChooserHandler([this](QWidget *, QColor initial) -> std::optional<QColor> {
            chooserOpenedOn_.push_back(initial);
            if (chooserAnswers_.empty())
                return std::nullopt;
            const QColor answer = chooserAnswers_.front();
            chooserAnswers_.erase(chooserAnswers_.begin());
            return answer;
        });
        form_ = StartMainForm();
    }
    void TearDown() override
    {
        MainFormTestBase::TearDown();
        SetColorChooserHandler({});
    }

    static QColor Background(const QPlainTextEdit *view)
    {
        return view->palette().color(QPalette::Base);
    }

    // Selects characters [from, to) of a view's text.
    static void Select(QPlainTextEdit *view, int from, int to)
    {
        QTextCursor cursor(view->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }
    static QColor ColorAt(const QPlainTextEdit *view, int position)
    {
        QTextCursor cursor(view->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().foreground().color();
    }

    std::vector<QColor> chooserOpenedOn_;
    std::vector<QColor> chooserAnswers_;
};

TEST_F(ToolWindowsTest, EveryCommandOpensItsWindowWithoutBlocking)
{
    struct Command
    {
        QAction *Action;
        QWidget *Window;
        const char *Caption;
    };
    const Command commands[] = {
        { ActionNamed(*form_, "FilterSettingsMenu1"), form_->FilterForm(), "Receiving Filter" },
        { ActionNamed(*form_, "HexDecBinConverter1"), form_->HexDecForm(), "HexDecBin Converter" },
        { ActionNamed(*form_, "Converter1"), form_->HexDecForm(), "HexDecBin Converter" },
        { ActionNamed(*form_, "ColorSettings1"), form_->BColorSetForm(), "Color Settings" },
        { ActionNamed(*form_, "ASCIITable1"), form_->AscForm(), "ASCII" },
        { ActionNamed(*form_, "About1"), form_->AboutForm(), "About..." },
    };
    for (const Command &c : commands) {
        c.Window->hide();
        ASSERT_TRUE(c.Action->isEnabled()) << c.Caption;
        c.Action->trigger();
        EXPECT_TRUE(c.Window->isVisible()) << c.Caption;
        EXPECT_FALSE(c.Window->isModal()) << c.Caption;
        EXPECT_EQ(c.Window->windowTitle(), c.Caption);
        c.Action->trigger(); // already shown: brought to the front, still one window
        EXPECT_TRUE(c.Window->isVisible()) << c.Caption;
    }
    EXPECT_TRUE(ActionNamed(*form_, "ToDecBin1")->isEnabled());
    EXPECT_TRUE(ActionNamed(*form_, "ColorButton1")->isEnabled());
    EXPECT_GE(form_->AscForm()->width(), 614);
    EXPECT_EQ(form_->AscForm()->height(), 590);
}

TEST_F(ToolWindowsTest, FilterFromTheWindowHidesAndShowsReceivedLines)
{
    ActionNamed(*form_, "FilterSettingsMenu1")->trigger();
    TFilterForm *filter = form_->FilterForm();
    filter->StringGrid1->item(0, 1)->setText("1");
    filter->StringGrid1->item(0, 2)->setText("01");
    filter->StringGrid1->item(1, 1)->setText("2");
    filter->StringGrid1->item(1, 2)->setText("03");
    filter->CheckBox1->setChecked(true);
    filter->Button1->click();

    EXPECT_TRUE(ActionNamed(*form_, "FilterSettingsMenu1")->isChecked());
    const char *shown[] = { "01 03", "01 03 02 00 0A" };
    const char *hidden[] = { "02 03 02 00 0A", "01 04", "01" };
    for (const char *body : shown)
        EXPECT_TRUE(form_->DataRT()->PassesReceiveFilter(body)) << body;
    for (const char *body : hidden)
        EXPECT_FALSE(form_->DataRT()->PassesReceiveFilter(body)) << body;

    // Closing reflects the switch on the tool button, whatever the button showed.
    ActionNamed(*form_, "FilterSettingsMenu1")->trigger();
    ActionNamed(*form_, "FilterSettingsMenu1")->setChecked(false);
    filter->close();
    EXPECT_TRUE(ActionNamed(*form_, "FilterSettingsMenu1")->isChecked());
}

TEST_F(ToolWindowsTest, DefaultThenCancelChangesNothingDefaultThenOkRepaintsAtOnce)
{
    form_->Settings().ReceiveWindowColor = 0x112233;
    form_->Settings().SendFontColor = 0x445566;
    TBColorSetForm *colors = form_->BColorSetForm();
    ActionNamed(*form_, "ColorSettings1")->trigger();
    EXPECT_EQ(colors->SwatchColor(0), 0x112233u);
    colors->Button1Click();
    colors->Button3->click();
    EXPECT_EQ(form_->Settings().ReceiveWindowColor, 0x112233);
    EXPECT_EQ(form_->Settings().SendFontColor, 0x445566);

    ActionNamed(*form_, "ColorSettings1")->trigger();
    EXPECT_EQ(colors->SwatchColor(4), 0x445566u) << "reopening shows the stored colours";
    colors->Button1Click();
    colors->Button2Click();
    EXPECT_FALSE(colors->isVisible());
    EXPECT_EQ(form_->Settings().ReceiveWindowColor, 0xE6E6E6);
    EXPECT_EQ(form_->Settings().SendWindowColor, 0xF0F0F0);
    EXPECT_EQ(form_->Settings().SearchWindowColor, 0xE6E6E6);
    EXPECT_EQ(form_->Settings().ReceiveFontColor, 0xC80000);
    EXPECT_EQ(form_->Settings().SendFontColor, 0x0000C8);
    EXPECT_EQ(Background(form_->RichShow()), ColorFromBgr(0xE6E6E6));
    EXPECT_EQ(Background(form_->SendForm()->RichSend), ColorFromBgr(0xF0F0F0));
    EXPECT_EQ(Background(form_->RichFind()), ColorFromBgr(0xE6E6E6));
}

TEST_F(ToolWindowsTest, NewReceiveFontColourColoursOnlyLinesShownAfterOk)
{
    const auto receive = [this](std::string_view bytes) {
        form_->Channel()->AppendReceivedBurst(bytes, 0);
        form_->DataRT()->RenderTick();
    };
    receive("\x01");
    ActionNamed(*form_, "ColorSettings1")->trigger();
    chooserAnswers_ = { QColor(0, 0x80, 0) };
    form_->BColorSetForm()->PanelClick(3);
    form_->BColorSetForm()->Button2Click();
    receive("\x02");

    const QTextDocument *monitor = form_->RichShow()->document();
    ASSERT_GE(monitor->blockCount(), 2);
    EXPECT_EQ(ColorAt(form_->RichShow(), monitor->findBlockByNumber(0).position()),
        ColorFromBgr(0xC80000));
    EXPECT_EQ(
        ColorAt(form_->RichShow(), monitor->findBlockByNumber(1).position()), QColor(0, 0x80, 0));
}

TEST_F(ToolWindowsTest, SwatchesTakeTheChosenColourAndTheChooserRemembersItForTheRun)
{
    TBColorSetForm *colors = form_->BColorSetForm();
    ActionNamed(*form_, "ColorSettings1")->trigger();
    chooserAnswers_ = { QColor(0x10, 0x20, 0x30) };
    colors->PanelClick(2);
    colors->PanelClick(3); // cancelled: the swatch keeps its colour
    EXPECT_EQ(colors->SwatchColor(2), 0x302010u);
    EXPECT_EQ(colors->SwatchColor(3), 0xC80000u);
    ASSERT_EQ(chooserOpenedOn_.size(), 2u);
    EXPECT_EQ(chooserOpenedOn_[0], QColor(Qt::black));
    EXPECT_EQ(chooserOpenedOn_[1], QColor(0x10, 0x20, 0x30));

    colors->Button2Click();
    EXPECT_EQ(Background(form_->RichFind()), QColor(0x10, 0x20, 0x30));
}

TEST_F(ToolWindowsTest, ColourButtonColoursTheSelectionOfTheActiveView)
{
    form_->RichShow()->setPlainText("monitor text");
    form_->RichFind()->setPlainText("found text");
    Select(form_->RichShow(), 0, 7);
    Select(form_->RichFind(), 0, 5);
    const QColor monitorBefore = ColorAt(form_->RichShow(), 0);

    form_->DataRT()->SetActiveView(form_->RichFind());
    form_->ColorButton()->PickColor(0x0000FF); // red, from the palette
    EXPECT_EQ(ColorAt(form_->RichFind(), 0), QColor(Qt::red));
    EXPECT_EQ(ColorAt(form_->RichFind(), 7), QColor(Qt::black)) << "outside the selection";
    EXPECT_EQ(ColorAt(form_->RichShow(), 0), monitorBefore);

    form_->DataRT()->SetActiveView(form_->RichShow());
    ActionNamed(*form_, "ColorButton1")->trigger(); // the face applies the selected colour again
    EXPECT_EQ(ColorAt(form_->RichShow(), 0), QColor(Qt::red));

    chooserAnswers_ = { QColor(0, 0, 0x80) };
    form_->ColorButton()->OtherColorItem->trigger();
    EXPECT_EQ(form_->ColorButton()->SelectedColor(), 0x800000u);
    EXPECT_EQ(ColorAt(form_->RichShow(), 0), QColor(0, 0, 0x80));

    // The selected colour is the highlight colour written at shutdown.
    form_->close();
    SettingsRecord stored = SettingsRecord::Defaults();
    LoadSettings(stored, DataFolder());
    EXPECT_EQ(stored.HighlightColor, 0x800000);
    EXPECT_EQ(form_->ColorButton()->Palette->title(), "Color Window");
    EXPECT_TRUE(form_->ColorButton()->Palette->isTearOffEnabled());
}

TEST_F(ToolWindowsTest, ToDecBinShowsUnsignedValuesOfAtMostFourBytes)
{
    form_->RichShow()->setPlainText("FF FF FF FF\n01 02 03 04 05\n01 00");
    form_->DataRT()->SetActiveView(form_->RichShow());
    Select(form_->RichShow(), 12, 26);
    ActionNamed(*form_, "ToDecBin1")->trigger();
    EXPECT_FALSE(form_->PopForm()->isVisible());

    Select(form_->RichShow(), 0, 11);
    ActionNamed(*form_, "ToDecBin1")->trigger();
    EXPECT_TRUE(form_->PopForm()->isVisible());
    EXPECT_EQ(form_->PopForm()->Edit1->text(), "4294967295");

    Select(form_->RichShow(), 27, 32);
    ActionNamed(*form_, "ToDecBin1")->trigger();
    EXPECT_EQ(form_->PopForm()->Edit1->text(), "256");
    EXPECT_EQ(form_->PopForm()->Edit2->text(), "0000 0001 0000 0000 ");

    // The Ctrl-release of the mouse reaches the same window, signed.
    emit form_->DataRT()->PopupConversionRequested("-1", "1111 ", QPoint(5, 500));
    EXPECT_EQ(form_->PopForm()->Edit1->text(), "-1");
}

TEST_F(ToolWindowsTest, AboutBoxTextsAndLinks)
{
    ActionNamed(*form_, "About1")->trigger();
    TaboutForm *about = form_->AboutForm();
    EXPECT_EQ(about->Label3->text(), "Corvella");
    EXPECT_EQ(about->Label4->text(), "Version:  3.0.2");
    EXPECT_EQ(about->Label6->text(), "Contact us:");
    EXPECT_TRUE(about->Label2->text().endsWith(".example"));
    EXPECT_TRUE(about->Label7->text().endsWith(".example"));

    // The desktop's handlers, stood in for by a view that records what it was given.
    QTextBrowser mail;
    QTextBrowser web;
    QDesktopServices::setUrlHandler("mailto", &mail, "setSource");
    QDesktopServices::setUrlHandler("https", &web, "setSource");
    about->Label2Click();
    about->Label7Click();
    QDesktopServices::unsetUrlHandler("mailto");
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(mail.source(), QUrl("mailto:" + about->Label2->text()));
    EXPECT_EQ(web.source(), QUrl("https://" + about->Label7->text()));
}

TEST_F(ToolWindowsTest, ToolWindowPlacesAreKeptInTheLayoutFile)
{
    ActionNamed(*form_, "HexDecBinConverter1")->trigger();
    form_->HexDecForm()->move(321, 234);
    const QPoint place = form_->HexDecForm()->pos();
    form_->close();
    form_ = std::make_unique<TMainForm>();
    form_->show();
    QApplication::processEvents();
    // Window frames make the restored place differ by a pixel or two offscreen.
    EXPECT_LE((form_->HexDecForm()->pos() - place).manhattanLength(), 4);
}

} // namespace
