#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box the program shows goes through here, so tests can answer
// them instead of a person. With no handler installed a real modal box is shown.
struct MessageBoxRequest
{
    QWidget *Owner = nullptr;
    QMessageBox::Icon Icon = QMessageBox::Warning;
    QString Caption;
    QString Text;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
    QMessageBox::StandardButton DefaultButton = QMessageBox::NoButton;
};

using MessageBoxHandler = std::function<QMessageBox::StandardButton(const MessageBoxRequest &)>;

// Installs a handler for the rest of the run (tests); an empty one restores real boxes.
void SetMessageBoxHandler(MessageBoxHandler handler);

QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest &request);

// A warning box with an OK button, owned by `owner`.
void ShowWarning(QWidget *owner, const QString &caption, const QString &text);

// The application-wide error box: message, stop icon, application title.
void ShowErrorBox(const QString &message);
