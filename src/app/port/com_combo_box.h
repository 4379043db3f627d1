#pragma once

#include "port/com_types.h"

#include <QComboBox>

#include <string>
#include <vector>

class TComPort;

// A drop-down list of one port setting (port name, baud rate, data bits, stop
// bits, parity or flow control) bound to a port. A choice of the user is
// converted to the setting's value and, with AutoApply, written into the port
// at once; selecting an item from code writes nothing.
//
// The port-name list is editable: besides the ports found on the machine the
// user may type a device name or a path (virtual ports made by socat or
// tty0tty are not listed). A typed name that is not listed leaves the list
// without a current item; Text() then returns the typed name. Device names
// are case-sensitive, so the list shows them as the system spells them.
class TComComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TComComboBox(QWidget *parent = nullptr);

    TComProperty ComProperty() const { return comProperty_; }
    // Fills the items; for cpPort from the ports of this machine, which raises
    // EComPort code 23 when they cannot be listed.
    void SetComProperty(TComProperty property);
    // The same with a given port list (used for cpPort only).
    void SetComProperty(TComProperty property, const std::vector<std::string> &portNames);

    TComPort *ComPort() const { return comPort_; }
    // Binds the list to a port and selects the item of the port's current
    // value; null unbinds it and selects the first item. The port is not
    // watched: whoever destroys a bound port unbinds it first.
    void SetComPort(TComPort *port);

    bool AutoApply() const { return autoApply_; }
    void SetAutoApply(bool autoApply) { autoApply_ = autoApply; }

    // The chosen or typed name; empty when nothing is chosen.
    QString Text() const;
    // Selects the item of that name (exact spelling first, then without
    // regard to case); a name that is not listed changes nothing.
    void SetText(const QString &text);

    // Keeps the box at least `minWidth` wide and wide enough for its current
    // text up to `maxWidth`, with the whole text as its tooltip: a typed device
    // path must not show only its tail.
    void GrowWithText(int minWidth, int maxWidth);

private:
    void FitWidthToText();
    void FillItems(const std::vector<std::string> &names);
    void SelectStartingItem();
    void SelectPortValue();
    QString PortValueName() const;
    void ApplyChoice(const QString &name);
    void TypedNameEntered();

    TComProperty comProperty_ = cpNone;
    TComPort *comPort_ = nullptr;
    bool autoApply_ = false;
    int minWidth_ = 0;
    int maxWidth_ = 0; // 0: the width does not follow the text
};
