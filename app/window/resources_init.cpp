#include "app/window/resources_init.h"

#include <QtGlobal>

static void initResourcesOnce()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(tessaplex_translations);
}

void tessaplexInitResources()
{
    static const bool done = (initResourcesOnce(), true);
    Q_UNUSED(done);
}
