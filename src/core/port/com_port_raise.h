#pragma once

#include "port/com_port_error.h"

// The one place a failed call of the port becomes an exception.
[[noreturn]] inline void RaiseError(int code, int error)
{
    throw EComPort(code, error);
}

inline void Check(int code, int error)
{
    if (error != 0)
        RaiseError(code, error);
}
