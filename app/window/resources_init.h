#pragma once

// Registers the pictures and translations compiled into the library, so a
// caller that links it needs no Q_INIT_RESOURCE of its own. Idempotent.
void tessaplexInitResources();
