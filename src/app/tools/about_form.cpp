#include "app/tools/about_form.h"

#include "app/shell/bring_to_front.h"
#include "app/shell/contact.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QShowEvent>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel *NewLinkLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TaboutForm::TaboutForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("aboutForm");
    setWindowTitle("About...");
    setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(QIcon(":/ico/myico").pixmap(32, 32));
    Image1->setFixedSize(32, 32);
    Label3 = new QLabel("Corvella", this);
    Label3->setObjectName("Label3");
    QFont bold = Label3->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    Label3->setFont(bold);
    Label4 = new QLabel("Version:  3.0.2", this);
    Label4->setObjectName("Label4");
    Label6 = new QLabel("Contact us:", this);
    Label6->setObjectName("Label6");
    Label2 = NewLinkLabel(this, "Label2");
    Label7 = NewLinkLabel(this, "Label7");
    for (QLabel *link : { Label2, Label7 })
        link->installEventFilter(this);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 24, 14);
    grid->setHorizontalSpacing(14);
    grid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(Label3, 0, 1);
    grid->addWidget(Label4, 1, 1);
    grid->addWidget(Label6, 2, 1);
    grid->addWidget(Label2, 3, 1);
    grid->addWidget(Label7, 4, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    FormShow();
}

void TaboutForm::ShowWindow()
{
    ShowOrBringToFront(this);
}

void TaboutForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TaboutForm::FormShow()
{
    Label2->setText(kSupportMail);
    Label7->setText(kWebAddress);
}

void TaboutForm::Label2Click()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + kSupportMail));
}

void TaboutForm::Label7Click()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + kWebAddress));
}

bool TaboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == Label2)
            Label2Click();
        else if (watched == Label7)
            Label7Click();
    }
    return QDialog::eventFilter(watched, event);
}
