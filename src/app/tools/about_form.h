#pragma once

#include <QDialog>

class QLabel;

// The about box: the program's name, version and the maker's contact links.
class TaboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TaboutForm(QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Label3; // product name
    QLabel *Label4; // version
    QLabel *Label6; // "Contact us:"
    QLabel *Label2; // support mail address, a link
    QLabel *Label7; // web address, a link

    // Shows the window, or brings it to the front when it is already shown.
    void ShowWindow();
    void FormShow();
    // The links, opened by the desktop's default mail program and browser.
    void Label2Click();
    void Label7Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
