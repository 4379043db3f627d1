#include "app/shell/message_box.h"

#include <QApplication>

namespace {
MessageBoxHandler &Handler()
{
    static MessageBoxHandler handler;
    return handler;
}
} // namespace

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    Handler() = std::move(handler);
}

QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest &request)
{
    if (Handler())
        return Handler()(request);
    QMessageBox box(request.Icon, request.Caption, request.Text, request.Buttons, request.Owner);
    box.setTextFormat(Qt::PlainText); // texts may quote received or typed data
    if (request.DefaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(request.DefaultButton);
        box.setEscapeButton(request.DefaultButton);
    }
    return QMessageBox::StandardButton(box.exec());
}

void ShowWarning(QWidget *owner, const QString &caption, const QString &text)
{
    ShowMessageBox({ owner, QMessageBox::Warning, caption, text, QMessageBox::Ok });
}

void ShowErrorBox(const QString &message)
{
    ShowMessageBox({ nullptr, QMessageBox::Critical, QApplication::applicationName(), message,
        QMessageBox::Ok });
}
