// The find commands: the find dialog, "Find Next " and the find-results window.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/shell/view_text.h"
#include "app/tools/find_dialog.h"
#include "app/tools/find_form.h"

#include <QAction>
#include <QTextEdit>

void TMainForm::CreateFindTools()
{
    FindForm = new TFindForm(this);
    addDockWidget(Qt::BottomDockWidgetArea, FindForm);
    FindForm->hide();
    RichFind = FindForm->RichFind;
    FindDialog = new TFindDialog(RichShow, FindForm, Settings, this);
    // A hit selected by Find Next stays in sight while the dialog has the focus.
    KeepSelectionVisible(RichShow);

    connect(Find1, &QAction::triggered, this, [this] {
        FindDialog->show();
        FindDialog->raise();
        FindDialog->activateWindow();
    });
    connect(FindNext1, &QAction::triggered, FindDialog, &TFindDialog::FindInMonitor);
    connect(FindWindow1, &QAction::triggered, this, &TMainForm::ToggleFindWindow);

    AttachEditPopup(RichFind);
    connect(FindForm, &TFindForm::Activated, this, [this] {
        if (DataRT)
            DataRT->SetActiveView(RichFind);
    });
    connect(FindForm, &TFindForm::Closed, this, [this] {
        Settings.FindWindowVisible = 0;
        ApplySettings();
    });
}

void TMainForm::ToggleFindWindow()
{
    Settings.FindWindowVisible = Settings.FindWindowVisible ? 0 : 1;
    ApplySettings();
    if (Settings.FindWindowVisible) {
        FindForm->show();
        FindForm->raise();
    } else {
        FindForm->hide();
    }
}
