#include "app/send/hex_dec_form.h"

#include "app/shell/bring_to_front.h"
#include "app/shell/message_box.h"
#include "send/convert_error.h"
#include "send/hex_text.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

namespace {

QString Latin(const std::string &text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

const char *NotDigitsText(NumberBase base)
{
    switch (base) {
    case NumberBase::Hex:
        return "What you input is not Hex.";
    case NumberBase::Dec:
        return "What you input is not dec.";
    case NumberBase::Bin:
        return "What you input is not bin.";
    }
    return "";
}

QLineEdit *NewField(QWidget *parent, const char *name, int characters)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(characters, '0')) + 12);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    return edit;
}

} // namespace

THexDecForm::THexDecForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("HexDecForm");
    setWindowTitle("HexDecBin Converter");
    setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    CreateFields();
    CreateEditMenu();
}

void THexDecForm::CreateFields()
{
    // Wide enough to show what the converter writes: 16 hex digits, 19 decimal
    // digits and 16 groups of four bits.
    Edit1 = NewField(this, "Edit1", 18);
    Edit2 = NewField(this, "Edit2", 20);
    Edit3 = NewField(this, "Edit3", 80);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel("Hex:", this), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(new QLabel("Dec:", this), 0, 2);
    grid->addWidget(Edit2, 0, 3);
    grid->addWidget(new QLabel("Bin:", this), 1, 0);
    grid->addWidget(Edit3, 1, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Edit1, &QLineEdit::textEdited, this, &THexDecForm::Edit1Change);
    connect(Edit2, &QLineEdit::textEdited, this, &THexDecForm::Edit2Change);
    connect(Edit3, &QLineEdit::textEdited, this, &THexDecForm::Edit3Change);
    for (QLineEdit *edit : { Edit1, Edit2, Edit3 })
        edit->installEventFilter(this);
    connect(Button2, &QPushButton::clicked, this, &THexDecForm::close);
}

void THexDecForm::CreateEditMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    auto add = [this](const char *name, const char *caption, const char *shortcut) {
        QAction *action = PopupMenu1->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(QKeySequence(shortcut));
        // The fields take these keys themselves; the menu shows them.
        action->setShortcutContext(Qt::WidgetShortcut);
        return action;
    };
    N1 = add("N1", "cut", "Ctrl+X");
    N2 = add("N2", "copy", "Ctrl+C");
    N3 = add("N3", "paste", "Ctrl+V");
    undo1 = add("undo1", "undo", "Ctrl+Z");
    selectAll1 = add("selectAll1", "selectAll", "Ctrl+A");

    // Each item acts on the field that has the keyboard focus, like its key.
    auto onField = [this](std::function<void(QLineEdit *)> operation) {
        return [this, operation] {
            if (QLineEdit *edit = FocusedField())
                operation(edit);
        };
    };
    connect(N1, &QAction::triggered, this, onField(&QLineEdit::cut));
    connect(N2, &QAction::triggered, this, onField(&QLineEdit::copy));
    connect(N3, &QAction::triggered, this, onField(&QLineEdit::paste));
    connect(undo1, &QAction::triggered, this, onField(&QLineEdit::undo));
    connect(selectAll1, &QAction::triggered, this, onField(&QLineEdit::selectAll));
    for (QLineEdit *edit : { Edit1, Edit2, Edit3 }) {
        connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint &pos) {
            edit->setFocus();
            menuField_ = edit;
            PopupMenu1->exec(edit->mapToGlobal(pos));
            menuField_ = nullptr;
        });
    }
}

void THexDecForm::ShowWindow()
{
    ShowOrBringToFront(this);
}

void THexDecForm::Edit1Change()
{
    // Hex letters are shown in upper case, however they arrived.
    const QString upper = Edit1->text().toUpper();
    if (upper != Edit1->text()) {
        const int caret = Edit1->cursorPosition();
        Edit1->setText(upper);
        Edit1->setCursorPosition(caret);
    }
    FieldChanged(NumberBase::Hex);
}

void THexDecForm::Edit2Change()
{
    FieldChanged(NumberBase::Dec);
}

void THexDecForm::Edit3Change()
{
    FieldChanged(NumberBase::Bin);
}

// Writes only the other two fields, and only through setText, which does not
// count as an edit: no field starts a conversion of its own from them.
void THexDecForm::FieldChanged(NumberBase base)
{
    QLineEdit *own = Field(base);
    if (own->text().isEmpty()) {
        for (QLineEdit *edit : { Edit1, Edit2, Edit3 }) {
            if (edit != own)
                edit->clear();
        }
        return;
    }
    // Text that cannot be Latin-1 holds characters no field takes; '?' stands for them.
    const std::string text = own->text().toLatin1().toStdString();
    if (!AllDigitsOf(base, StripBlanks(text))) {
        QApplication::beep();
        ShowWarning(this, "HexDecBin", NotDigitsText(base));
        own->clear();
        return;
    }
    try {
        const LinkedNumberTexts texts = ConvertField(base, text);
        Edit1->setText(base == NumberBase::Hex ? Edit1->text() : Latin(texts.Hex));
        Edit2->setText(base == NumberBase::Dec ? Edit2->text() : Latin(texts.Dec));
        Edit3->setText(base == NumberBase::Bin ? Edit3->text() : Latin(texts.Bin));
    } catch (const EConvertError &e) {
        ShowErrorBox(QString::fromLatin1(e.what()));
    }
}

bool THexDecForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (watched == Edit1)
            return KeyPress(Edit1, NumberBase::Hex, kHexTypingLimit, key->text());
        if (watched == Edit2)
            return KeyPress(Edit2, NumberBase::Dec, kDecTypingLimit, key->text());
        if (watched == Edit3)
            return KeyPress(Edit3, NumberBase::Bin, kBinTypingLimit, key->text());
    }
    return QDialog::eventFilter(watched, event);
}

bool THexDecForm::KeyPress(QLineEdit *edit, NumberBase base, int limit, const QString &typed)
{
    // Keys without a character (arrows, Delete) and control keys (Backspace,
    // Ctrl+C and the like) are the field's own business.
    if (typed.size() != 1 || typed.front().unicode() < 0x20 || typed.front().unicode() == 0x7F)
        return false;
    const char16_t c = typed.front().unicode();
    if (c > 0x7F || !ConverterAcceptsKey(base, char(c))) {
        QApplication::beep();
        return true;
    }
    const qsizetype kept = edit->text().size() - edit->selectedText().size();
    if (kept >= limit) {
        QApplication::beep();
        return true;
    }
    return false;
}

QLineEdit *THexDecForm::FocusedField() const
{
    if (menuField_)
        return menuField_;
    for (QLineEdit *edit : { Edit1, Edit2, Edit3 }) {
        if (edit->hasFocus())
            return edit;
    }
    return nullptr;
}

QLineEdit *THexDecForm::Field(NumberBase base) const
{
    switch (base) {
    case NumberBase::Hex:
        return Edit1;
    case NumberBase::Dec:
        return Edit2;
    case NumberBase::Bin:
        return Edit3;
    }
    return Edit1;
}
