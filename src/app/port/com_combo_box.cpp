#include "app/port/com_combo_box.h"

#include "port/com_port.h"
#include "port/port_names.h"

#include <QCompleter>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace {

const std::vector<std::string> &SettingNames(TComProperty property)
{
    static const std::vector<std::string> none;
    switch (property) {
    case cpBaudRate:
        return BaudRateNames();
    case cpDataBits:
        return DataBitsNames();
    case cpStopBits:
        return StopBitsNames();
    case cpParity:
        return ParityNames();
    case cpFlowControl:
        return FlowControlNames();
    case cpNone:
    case cpPort:
        break;
    }
    return none;
}

} // namespace

TComComboBox::TComComboBox(QWidget *parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, [this](int index) { ApplyChoice(itemText(index)); });
}

void TComComboBox::SetComProperty(TComProperty property)
{
    SetComProperty(property, property == cpPort ? EnumComPorts() : std::vector<std::string> {});
}

void TComComboBox::SetComProperty(TComProperty property, const std::vector<std::string> &portNames)
{
    comProperty_ = property;
    const bool portList = property == cpPort;
    if (portList && !isEditable()) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert); // a typed name does not join the list
        if (QCompleter *names = completer())
            names->setCaseSensitivity(Qt::CaseSensitive);
        connect(lineEdit(), &QLineEdit::editingFinished, this, &TComComboBox::TypedNameEntered);
    } else if (!portList && isEditable()) {
        setEditable(false);
    }
    FillItems(portList ? portNames : SettingNames(property));
}

void TComComboBox::GrowWithText(int minWidth, int maxWidth)
{
    const bool first = maxWidth_ == 0;
    minWidth_ = minWidth;
    maxWidth_ = std::max(minWidth, maxWidth);
    if (first)
        connect(this, &QComboBox::currentTextChanged, this, &TComComboBox::FitWidthToText);
    FitWidthToText();
}

void TComComboBox::FitWidthToText()
{
    const QString text = currentText();
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize textSize(fontMetrics().horizontalAdvance(text), fontMetrics().height());
    const int needed
        = style()->sizeFromContents(QStyle::CT_ComboBox, &option, textSize, this).width();
    setMinimumWidth(std::clamp(needed, minWidth_, maxWidth_));
    setToolTip(text);
}

void TComComboBox::FillItems(const std::vector<std::string> &names)
{
    clear();
    for (const std::string &name : names)
        addItem(QString::fromStdString(name));
    SelectStartingItem();
}

void TComComboBox::SetComPort(TComPort *port)
{
    comPort_ = port;
    SelectStartingItem();
}

// A bound list shows the port's current value; an unbound one its first item.
void TComComboBox::SelectStartingItem()
{
    if (count() == 0)
        return;
    if (comPort_)
        SelectPortValue();
    else
        setCurrentIndex(0);
}

QString TComComboBox::PortValueName() const
{
    switch (comProperty_) {
    case cpPort:
        return QString::fromStdString(comPort_->Port());
    case cpBaudRate:
        return QString::fromStdString(BaudRateToStr(comPort_->BaudRate()));
    case cpDataBits:
        return QString::fromStdString(DataBitsToStr(comPort_->DataBits()));
    case cpStopBits:
        return QString::fromStdString(StopBitsToStr(comPort_->StopBits()));
    case cpParity:
        return QString::fromStdString(ParityToStr(comPort_->Parity().Bits));
    case cpFlowControl:
        return QString::fromStdString(FlowControlToStr(comPort_->FlowControl().FlowControl()));
    case cpNone:
        break;
    }
    return {};
}

void TComComboBox::SelectPortValue()
{
    // Without regard to case: a port configured as "Com1" selects "COM1".
    setCurrentIndex(findText(PortValueName(), Qt::MatchFixedString));
}

QString TComComboBox::Text() const
{
    return currentText();
}

void TComComboBox::SetText(const QString &text)
{
    int index = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0)
        index = findText(text, Qt::MatchFixedString);
    if (index >= 0)
        setCurrentIndex(index);
}

void TComComboBox::TypedNameEntered()
{
    const QString name = lineEdit()->text();
    if (name.isEmpty())
        return;
    const int index = findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index != currentIndex()) {
        setCurrentIndex(index);
        if (index < 0)
            setEditText(name); // leaving the list clears the edit line
    }
    ApplyChoice(name);
}

void TComComboBox::ApplyChoice(const QString &name)
{
    if (!autoApply_ || !comPort_)
        return;
    const std::string text = name.toStdString();
    switch (comProperty_) {
    case cpPort:
        // Renaming an open port reopens it: only for a name that differs.
        if (comPort_->Port() != text)
            comPort_->SetPort(text);
        break;
    case cpBaudRate:
        comPort_->SetBaudRate(StrToBaudRate(text));
        break;
    case cpDataBits:
        comPort_->SetDataBits(StrToDataBits(text));
        break;
    case cpStopBits:
        comPort_->SetStopBits(StrToStopBits(text));
        break;
    case cpParity: {
        TComParity parity = comPort_->Parity();
        parity.Bits = StrToParity(text);
        comPort_->SetParity(parity);
        break;
    }
    case cpFlowControl: {
        TComFlowControl flowControl = comPort_->FlowControl();
        flowControl.SetFlowControl(StrToFlowControl(text));
        comPort_->SetFlowControl(flowControl);
        break;
    }
    case cpNone:
        break;
    }
}
