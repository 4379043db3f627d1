#pragma once

#include "port/com_port.h"

#include <cstdint>

// The line settings a port applies, gathered from its properties.
struct TLineSettings
{
    int BaudRate = 9600; // bits per second
    TDataBits DataBits = dbEight;
    TStopBits StopBits = sbOneStopBit;
    TComParity Parity;
    TComFlowControl FlowControl;
};

// The fields of the kernel's termios2 record that line settings decide, free of
// kernel headers: <asm/termbits.h> cannot share a file with <termios.h>, so
// everything that needs the kernel's record lives in termios2_linux.cpp.
// Flag values are the kernel's, which are also those of <termios.h>.
struct TTermios2Fields
{
    uint32_t IFlag = 0;
    uint32_t OFlag = 0;
    uint32_t CFlag = 0;
    uint32_t LFlag = 0;
    uint32_t ISpeed = 0;
    uint32_t OSpeed = 0;
    uint8_t VMin = 1;
    uint8_t VTime = 0;
    uint8_t VStart = 0x11;
    uint8_t VStop = 0x13;
};

// Raw 8-bit transfer with the given speed (exact, through BOTHER), character
// size, parity and stop bits; handshakes only where the settings ask for them.
TTermios2Fields MapLineSettings(const TLineSettings &settings);

// TCSETS2 of `fields` over the device's current record (other control characters
// and the line discipline stay). Return 0 or the errno of the failing call.
int SetTermios2(int fd, const TTermios2Fields &fields);
// TCGETS2 of the device's current record.
int GetTermios2(int fd, TTermios2Fields &fields);
