// Start-up rules (see StartupRules.h).
#include "core/StartupRules.h"

bool MustRefuseToStart(bool buildIs32Bit, bool runsUnderWow64)
{
    return buildIs32Bit && runsUnderWow64;
}
