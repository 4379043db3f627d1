#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The pop-up conversion: a borderless tip with the decimal value and the bit
// groups of hex text selected in a view, placed just above the mouse pointer
// and gone as soon as it loses the focus.
class TPopForm : public QWidget
{
    Q_OBJECT
public:
    explicit TPopForm(QWidget *parent = nullptr);

    QLineEdit *Edit1; // decimal value, read-only
    QLineEdit *Edit2; // bit groups
    QLineEdit *Edit3; // zero width: holds the focus so no text shows selected
    QLabel *Label2; // "Bin:"

    // Width of the fields per byte of the selection: the classic 54 pixels, or
    // more when the font needs more for two groups of four bits.
    int ByteWidth() const;

    // Fills the fields, sizes the tip to the bits and shows it with its left
    // edge at the pointer's x and its bottom 10 pixels above the pointer.
    void ShowConversion(const QString &decimal, const QString &bits, QPoint pointer);

protected:
    void changeEvent(QEvent *event) override;

private:
    void FormActivate(int digits);
};
