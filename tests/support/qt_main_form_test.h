#pragma once

#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "support/pty_pair.h"

#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

// Tests of the whole main window: each runs in a throw-away data folder, and
// every message box is recorded and answered with `boxAnswer_`.
class MainFormTestBase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", home_.Path().c_str(), 1);
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes_.push_back(request);
            return boxAnswer_;
        });
    }
    void TearDown() override
    {
        form_.reset();
        SetMessageBoxHandler({});
    }

    // A new main window, shown, so its start-up has run.
    static std::unique_ptr<TMainForm> StartMainForm()
    {
        auto form = std::make_unique<TMainForm>();
        form->show();
        QApplication::processEvents();
        return form;
    }

    TempFolder home_;
    std::vector<MessageBoxRequest> boxes_;
    QMessageBox::StandardButton boxAnswer_ = QMessageBox::Ok;
    std::unique_ptr<TMainForm> form_; // for tests that keep one window throughout
};
