#include "app/flags.h"

ProgramFlags& Flags()
{
    static ProgramFlags flags;
    return flags;
}
