#include "app/shell/program_resources.h"

#include <QtGlobal>

void InitProgramResources()
{
    Q_INIT_RESOURCE(corvella);
}
