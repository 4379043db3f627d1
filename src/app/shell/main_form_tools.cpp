// The tool windows of the main window: receive filter, converters, colours,
// ASCII table and about box, with the commands that open them.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/send/filter_form.h"
#include "app/send/hex_dec_form.h"
#include "app/send/pop_form.h"
#include "app/send/send_form.h"
#include "app/shell/colors.h"
#include "app/tools/about_form.h"
#include "app/tools/asc_form.h"
#include "app/tools/b_color_set_form.h"
#include "app/tools/color_button.h"
#include "send/hex_text.h"
#include "send/number_convert.h"

#include <QAction>
#include <QCursor>
#include <QSettings>
#include <QTextEdit>
#include <QToolBar>

#include <optional>

namespace {

// Selected text of a view, one byte per character as the hex rules read it;
// characters beyond Latin-1 are never hex digits and become '?'.
std::string SelectedBytes(const QTextEdit *view)
{
    return view->textCursor().selectedText().toLatin1().toStdString();
}

} // namespace

void TMainForm::CreateToolWindows()
{
    FilterForm = new TFilterForm(Settings, this);
    HexDecForm = new THexDecForm(this);
    PopForm = new TPopForm(this);
    BColorSetForm = new TBColorSetForm(Settings, this);
    AscForm = new TAscForm(this);
    aboutForm = new TaboutForm(this);
    ColorButton = new TColorButton(ColorButton1, WindowToolBar);
    WindowToolBar->addWidget(ColorButton);

    for (QAction *filter : { FilterSettings1, FilterSettingsMenu1 }) {
        connect(filter, &QAction::triggered, this, [this] {
            FilterForm->ShowWindow();
            ApplySettings();
        });
    }
    connect(FilterForm, &TFilterForm::ApplySettingsRequested, this, &TMainForm::ApplySettings);
    connect(FilterForm, &TFilterForm::Closed, this,
        [this] { FilterSettingsMenu1->setChecked(Settings.FilterEnabled != 0); });

    for (QAction *converter : { HexDecBinConverter1, Converter1 })
        connect(converter, &QAction::triggered, HexDecForm, &THexDecForm::ShowWindow);
    connect(ToDecBin1, &QAction::triggered, this, &TMainForm::ShowPopupConversion);

    connect(ColorSettings1, &QAction::triggered, BColorSetForm, &TBColorSetForm::ShowWindow);
    connect(BColorSetForm, &TBColorSetForm::ColorsStored, this, &TMainForm::ApplyViewBackgrounds);
    connect(ColorButton, &TColorButton::ColorApplied, this, &TMainForm::ColorActiveView);

    connect(ASCIITable1, &QAction::triggered, AscForm, &TAscForm::ShowWindow);
    connect(About1, &QAction::triggered, aboutForm, &TaboutForm::ShowWindow);
}

// The renderer comes with the engine, after the windows.
void TMainForm::ConnectToolWindows()
{
    connect(DataRT, &TDataRT::PopupConversionRequested, PopForm, &TPopForm::ShowConversion);
}

// "To Dec Bin": like the Ctrl-release over a view, but the value is unsigned.
void TMainForm::ShowPopupConversion()
{
    const std::string selection = SelectedBytes(ActiveView());
    const std::optional<uint32_t> pattern = SelectionPattern(selection);
    if (!pattern)
        return;
    PopForm->ShowConversion(QString::number(*pattern),
        QString::fromLatin1(HexToBinText(StripBlanks(selection))), QCursor::pos());
}

void TMainForm::ApplyViewBackgrounds()
{
    SetViewBackground(RichShow, uint32_t(Settings.ReceiveWindowColor));
    SetViewBackground(SendForm->RichSend, uint32_t(Settings.SendWindowColor));
    SetViewBackground(RichFind, uint32_t(Settings.SearchWindowColor));
}

// The selection of the active view takes the colour; with no selection, text
// typed next at the caret does. The palette's special entries give the view's
// own text colour.
void TMainForm::ColorActiveView(uint32_t bgr)
{
    highlightColor_ = bgr;
    QTextEdit *view = ActiveView();
    view->setTextColor(TColorButton::IsSpecialColor(bgr) ? view->palette().color(QPalette::Text)
                                                         : ColorFromBgr(bgr));
}

void TMainForm::RestoreToolWindowPlaces(QSettings &layout)
{
    for (QWidget *window : { static_cast<QWidget *>(FilterForm), static_cast<QWidget *>(HexDecForm),
             static_cast<QWidget *>(BColorSetForm), static_cast<QWidget *>(AscForm),
             static_cast<QWidget *>(aboutForm) }) {
        const QByteArray geometry = layout.value(window->objectName() + "/Geometry").toByteArray();
        if (!geometry.isEmpty())
            window->restoreGeometry(geometry);
    }
}

void TMainForm::SaveToolWindowPlaces(QSettings &layout)
{
    for (QWidget *window : { static_cast<QWidget *>(FilterForm), static_cast<QWidget *>(HexDecForm),
             static_cast<QWidget *>(BColorSetForm), static_cast<QWidget *>(AscForm),
             static_cast<QWidget *>(aboutForm) }) {
        // A window never shown in this run keeps the place the file has for it.
        if (window->testAttribute(Qt::WA_WState_ExplicitShowHide))
            layout.setValue(window->objectName() + "/Geometry", window->saveGeometry());
    }
}
