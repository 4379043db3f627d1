#include "port/com_types.h"

#include <iterator>

int BaudRateValue(TBaudRate rate)
{
    static constexpr int kRates[] = { 0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400,
        56000, 57600, 115200, 128000, 256000 };
    const int index = int(rate);
    if (index < 0 || index >= int(std::size(kRates)))
        return 0;
    return kRates[index];
}
