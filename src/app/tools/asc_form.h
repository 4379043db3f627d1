#pragma once

#include <QDialog>

// The ASCII table: codes 0 to 127 in four column pairs, drawn from their rule
// so that it stays crisp at any scale.
class TAscForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAscForm(QWidget *parent = nullptr);

    // The classic picture's size; wider when the font needs it.
    static constexpr QSize kPictureSize { 614, 590 };

    // Shows the window, or brings it to the front when it is already shown.
    void ShowWindow();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int decWidth_;
    int charWidth_;
};
