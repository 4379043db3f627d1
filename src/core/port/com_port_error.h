#pragma once

#include <stdexcept>
#include <string>

// A device failure: a fixed code 1..23 with its fixed text, and the system's
// error number (errno), -1 when there is none. The message is the text,
// followed by " (win error code: N)" when there is a number.
class EComPort : public std::runtime_error
{
public:
    EComPort(int code, int errorNumber = -1);

    int Code() const { return code_; }
    int WinCode() const { return winCode_; }

    static const char *CodeText(int code);
    static std::string MessageFor(int code, int errorNumber);

private:
    int code_;
    int winCode_;
};

// What the user can do about a failed open, for the system's error number, or
// null when there is nothing to suggest.
const char *OpenFailureHint(int errorNumber);

// Code numbers in use.
enum EComPortCode {
    CError_OpenFailed = 1,
    CError_WriteFailed = 2,
    CError_ReadFailed = 3,
    CError_InvalidAsync = 4,
    CError_PurgeFailed = 5,
    CError_AsyncCheck = 6,
    CError_SetStateFailed = 7,
    CError_TimeoutsFailed = 8,
    CError_SetupComFailed = 9,
    CError_ClearComFailed = 10,
    CError_ModemStatFailed = 11,
    CError_EscapeComFailed = 12,
    CError_TransmitFailed = 13,
    CError_ConnChangeProp = 14,
    CError_EnumPortsFailed = 15,
    CError_StoreFailed = 16,
    CError_LoadFailed = 17,
    CError_RegFailed = 18,
    CError_LedStateFailed = 19,
    CError_ThreadCreated = 20,
    CError_WaitFailed = 21,
    CError_HasLink = 22,
    CError_RegError = 23,
};
