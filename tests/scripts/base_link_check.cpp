// tests/scripts/base_link_check.cpp -- a program linked with every object of
// the lower tiers (platform, core, nkf, readers, commands) and nothing of the
// higher folders. That it links at all is the check: a lower-tier call that
// still reaches render/, tools/, plot/, scene/, export/ or app/ through a bare
// declaration leaves an undefined symbol. Running it proves the slots' neutral
// answers are there without any higher folder.
#include <cstdio>

#include "core/nk_model_hooks.h"

int main()
{
    bool bOk = NKComputeNodeTraces() && NKFreeIsoSurfaces(-1) && NKGetPartLevel(nullptr, 0) == 0 &&
               NKRunCommandLine("rotationpoint model") == 3;
    std::printf("%s\n",
                bOk ? "The lower tiers link and answer on their own." : "A slot is not neutral.");
    return bOk ? 0 : 1;
}
