// The tool windows of the main window: receive filter, converters, colours,
// ASCII table and about box, with the commands that open them.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/send/filter_form.h"
#include "app/send/hex_dec_form.h"
#include "app/send/pop_form.h"
#include "app/send/send_form.h"
#include "app/shell/colors.h"
#include "app/shell/view_text.h"
#include "app/tools/about_form.h"
#include "app/tools/asc_form.h"
#include "app/tools/b_color_set_form.h"
#include "app/tools/color_button.h"
#include "send/hex_text.h"
#include "send/number_convert.h"

#include <QAction>
#include <QCursor>
#include <QPlainTextEdit>
#include <QSettings>
#include <QToolBar>

#include <optional>

namespace {

// Selected text of a view, one byte per character as the hex rules read it;
// characters beyond Latin-1 are never hex digits and become '?'.
std::string SelectedBytes(const QPlainTextEdit *view)
{
    return view->textCursor().selectedText().toLatin1().toStdString();
}

} // namespace

void TMainForm::CreateToolWindows()
{
    filterForm_ = new TFilterForm(settings_, this);
    hexDecForm_ = new THexDecForm(this);
    popForm_ = new TPopForm(this);
    bColorSetForm_ = new TBColorSetForm(settings_, this);
    ascForm_ = new TAscForm(this);
    aboutForm_ = new TaboutForm(this);
    colorButton_ = new TColorButton(ColorButton1, WindowToolBar);
    WindowToolBar->addWidget(colorButton_);

    for (QAction *filter : { FilterSettings1, FilterSettingsMenu1 }) {
        connect(filter, &QAction::triggered, this, [this] {
            filterForm_->ShowWindow();
            ApplySettings();
        });
    }
    connect(filterForm_, &TFilterForm::ApplySettingsRequested, this, &TMainForm::ApplySettings);
    connect(filterForm_, &TFilterForm::Closed, this,
        [this] { FilterSettingsMenu1->setChecked(settings_.FilterEnabled != 0); });

    for (QAction *converter : { HexDecBinConverter1, Converter1 })
        connect(converter, &QAction::triggered, hexDecForm_, &THexDecForm::ShowWindow);
    connect(ToDecBin1, &QAction::triggered, this, &TMainForm::ShowPopupConversion);

    connect(ColorSettings1, &QAction::triggered, bColorSetForm_, &TBColorSetForm::ShowWindow);
    connect(bColorSetForm_, &TBColorSetForm::ColorsStored, this, &TMainForm::ApplyViewBackgrounds);
    connect(colorButton_, &TColorButton::ColorApplied, this, &TMainForm::ColorActiveView);

    connect(ASCIITable1, &QAction::triggered, ascForm_, &TAscForm::ShowWindow);
    connect(About1, &QAction::triggered, aboutForm_, &TaboutForm::ShowWindow);
}

// The renderer comes with the engine, after the windows.
void TMainForm::ConnectToolWindows()
{
    connect(dataRT_, &TDataRT::PopupConversionRequested, popForm_, &TPopForm::ShowConversion);
}

// "To Dec Bin": like the Ctrl-release over a view, but the value is unsigned.
void TMainForm::ShowPopupConversion()
{
    const std::string selection = SelectedBytes(ActiveView());
    const std::optional<uint32_t> pattern = SelectionPattern(selection);
    if (!pattern)
        return;
    popForm_->ShowConversion(QString::number(*pattern),
        QString::fromLatin1(HexToBinText(StripBlanks(selection))), QCursor::pos());
}

void TMainForm::ApplyViewBackgrounds()
{
    SetViewBackground(richShow_, uint32_t(settings_.ReceiveWindowColor));
    SetViewBackground(sendForm_->RichSend, uint32_t(settings_.SendWindowColor));
    SetViewBackground(richFind_, uint32_t(settings_.SearchWindowColor));
}

// The selection of the active view takes the colour; with no selection, text
// typed next at the caret does. The palette's special entries give the view's
// own text colour.
void TMainForm::ColorActiveView(uint32_t bgr)
{
    highlightColor_ = bgr;
    QPlainTextEdit *view = ActiveView();
    SetTypingColor(view,
        TColorButton::IsSpecialColor(bgr) ? view->palette().color(QPalette::Text)
                                          : ColorFromBgr(bgr));
}

void TMainForm::RestoreToolWindowPlaces(QSettings &layout)
{
    for (QWidget *window : { static_cast<QWidget *>(filterForm_),
             static_cast<QWidget *>(hexDecForm_), static_cast<QWidget *>(bColorSetForm_),
             static_cast<QWidget *>(ascForm_), static_cast<QWidget *>(aboutForm_) }) {
        const QByteArray geometry = layout.value(window->objectName() + "/Geometry").toByteArray();
        if (!geometry.isEmpty())
            window->restoreGeometry(geometry);
    }
}

void TMainForm::SaveToolWindowPlaces(QSettings &layout)
{
    for (QWidget *window : { static_cast<QWidget *>(filterForm_),
             static_cast<QWidget *>(hexDecForm_), static_cast<QWidget *>(bColorSetForm_),
             static_cast<QWidget *>(ascForm_), static_cast<QWidget *>(aboutForm_) }) {
        // A window never shown in this run keeps the place the file has for it.
        if (window->testAttribute(Qt::WA_WState_ExplicitShowHide))
            layout.setValue(window->objectName() + "/Geometry", window->saveGeometry());
    }
}
