#pragma once

#include "send/number_convert.h"

#include <QDialog>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;

// The converter window: three linked fields (hexadecimal, decimal, binary);
// what the user types into one fills the other two. The fields keep their
// content between openings.
class THexDecForm : public QDialog
{
    Q_OBJECT
public:
    explicit THexDecForm(QWidget *parent = nullptr);

    QLineEdit *Edit1; // "Hex:"
    QLineEdit *Edit2; // "Dec:"
    QLineEdit *Edit3; // "Bin:"
    QPushButton *Button2; // "Cancel"
    QMenu *PopupMenu1;
    QAction *N1, *N2, *N3, *undo1, *selectAll1;

    // Typing limits; text the converter writes itself may be longer.
    static constexpr int kHexTypingLimit = 9;
    static constexpr int kDecTypingLimit = 10;
    static constexpr int kBinTypingLimit = 45;

    // Shows the window, or brings it to the front when it is already shown.
    void ShowWindow();

    // The user changed a field (typing, pasting, cutting, undo).
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateFields();
    void CreateEditMenu();
    void FieldChanged(NumberBase base);
    // A typed character the field does not take is dropped with a beep.
    bool KeyPress(QLineEdit *edit, NumberBase base, int limit, const QString &typed);
    QLineEdit *FocusedField() const;
    QLineEdit *Field(NumberBase base) const;

    QLineEdit *menuField_ = nullptr; // the field whose edit menu is open
};
