// The find commands of the main window: the dialog, F3 and the results window.
#include "app/engine/data_rt.h"
#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "app/tools/find_dialog.h"
#include "app/tools/find_form.h"
#include "support/pty_pair.h"
#include "support/qt_action_named.h"
#include "support/qt_main_form_test.h"
#include "support/qt_wait.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class FindCommandsTest : public MainFormTestBase
{
protected:
    void SetUp() override
    {
        MainFormTestBase::SetUp();
        form_ = StartMainForm();
        for (const char *line : { "01 AA 02", "03 04", "AA AA" }) {
            form_->RichShow()->moveCursor(QTextCursor::End);
            TDataRT::AppendStampedLine(form_->RichShow(), "[R x] ", line, 0xC80000);
        }
    }
};

TEST_F(FindCommandsTest, F3RepeatsTheDialogsSearchEvenWhileTheDialogIsHidden)
{
    TMainForm &form = *form_;
    for (QAction *command : { ActionNamed(form, "Find1"), ActionNamed(form, "FindNext1"),
             ActionNamed(form, "FindWindow1") })
        EXPECT_TRUE(command->isEnabled()) << command->text().toStdString();

    // Never shown yet: the search text is empty and F3 finds nothing.
    ActionNamed(form, "FindNext1")->trigger();
    EXPECT_EQ(form.FindDialog()->LastFoundPos(), 0);
    EXPECT_FALSE(form.RichShow()->textCursor().hasSelection());

    form.FindDialog()->FindText->setText("aa");
    ActionNamed(form, "FindNext1")->trigger();
    EXPECT_EQ(form.RichShow()->textCursor().selectedText(), "AA");

    form.FindDialog()->FindAll->setChecked(true);
    ActionNamed(form, "FindNext1")->trigger();
    EXPECT_FALSE(form.FindDialog()->isVisible());
    EXPECT_TRUE(form.FindForm()->isVisible());
    EXPECT_EQ(form.RichFind()->toPlainText(), "[R x] 01 AA 02\n[R x] AA AA\n");
    // Shown by the search, not by the user: the stored flag stays as it was.
    EXPECT_EQ(form.Settings().FindWindowVisible, 0);
    EXPECT_FALSE(ActionNamed(form, "FindWindow1")->isChecked());

    ActionNamed(form, "Find1")->trigger();
    EXPECT_TRUE(form.FindDialog()->isVisible());
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(FindCommandsTest, FindWindowCommandAndCloseButtonKeepTheFlagAndCheckInStep)
{
    TMainForm &form = *form_;
    ActionNamed(form, "FindWindow1")->trigger();
    EXPECT_TRUE(form.FindForm()->isVisible());
    EXPECT_EQ(form.Settings().FindWindowVisible, 1);
    EXPECT_TRUE(ActionNamed(form, "FindWindow1")->isChecked());

    form.FindForm()->close();
    EXPECT_FALSE(form.FindForm()->isVisible());
    EXPECT_EQ(form.Settings().FindWindowVisible, 0);
    EXPECT_FALSE(ActionNamed(form, "FindWindow1")->isChecked());

    ActionNamed(form, "FindWindow1")->trigger();
    ActionNamed(form, "FindWindow1")->trigger();
    EXPECT_FALSE(form.FindForm()->isVisible());
    EXPECT_EQ(form.Settings().FindWindowVisible, 0);
}

TEST_F(FindCommandsTest, TheResultsViewBecomesTheActiveViewOfTheEditCommands)
{
    TMainForm &form = *form_;
    ActionNamed(form, "FindWindow1")->trigger();
    form.RichFind()->setPlainText("listed");
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(form.RichFind(), &focusIn);
    EXPECT_EQ(form.DataRT()->ActiveView, form.RichFind());

    ActionNamed(form, "SelectAll1")->trigger();
    EXPECT_EQ(form.RichFind()->textCursor().selectedText(), "listed");
    EXPECT_FALSE(form.RichShow()->textCursor().hasSelection());

    // Clicking in the results leaves the monitor's caret where it was.
    const int monitorCaret = form.RichShow()->textCursor().position();
    form.DataRT()->UpdateCaretFigures();
    EXPECT_EQ(form.DataRT()->CaretLine, 1);
    EXPECT_EQ(form.RichShow()->textCursor().position(), monitorCaret);
}

} // namespace
