#include "app/send/pop_form.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kClassicByteWidth = 54;
constexpr int kFieldHeight = 16;
constexpr int kPointerGap = 10;
constexpr int kExtraWidth = 17;

QLineEdit *NewTipField(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFrame(false);
    edit->setMaximumHeight(std::max(kFieldHeight, edit->fontMetrics().height()));
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    edit->setPalette(palette);
    return edit;
}

} // namespace

TPopForm::TPopForm(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName("PopForm");
    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Edit1 = NewTipField(panel, "Edit1");
    Edit1->setReadOnly(true);
    Edit2 = NewTipField(panel, "Edit2");
    Edit3 = new QLineEdit(panel);
    Edit3->setObjectName("Edit3");
    Edit3->setFixedWidth(0);
    Edit3->setFrame(false);

    auto *label1 = new QLabel("Dec:", panel);
    Label2 = new QLabel("Bin:", panel);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(3, 2, 3, 2);
    grid->setSpacing(2);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Edit3, 1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
}

int TPopForm::ByteWidth() const
{
    const int needed = Edit2->fontMetrics().horizontalAdvance(QStringLiteral("0000 0000 ")) + 4;
    return std::max(kClassicByteWidth, needed);
}

void TPopForm::ShowConversion(const QString &decimal, const QString &bits, QPoint pointer)
{
    Edit1->setText(decimal);
    Edit2->setText(bits);
    Edit1->setCursorPosition(0);
    Edit2->setCursorPosition(0);
    // Each hex digit gives one group of four bits and a blank.
    FormActivate(int(bits.size() / 5));
    move(pointer.x(), pointer.y() - height() - kPointerGap);
    show();
    Edit3->setFocus();
}

void TPopForm::FormActivate(int digits)
{
    const int fieldWidth = digits / 2 * ByteWidth();
    Edit1->setFixedWidth(fieldWidth);
    Edit2->setFixedWidth(fieldWidth);
    layout()->activate();
    const int labelWidth = Label2->sizeHint().width();
    resize(std::max(labelWidth + fieldWidth + kExtraWidth, minimumSizeHint().width()),
        minimumSizeHint().height());
}

void TPopForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        hide();
    QWidget::changeEvent(event);
}
