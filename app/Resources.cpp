#include "app/Resources.h"

#include <QtGlobal>

// The resources live in a static library, so the linker keeps them only when
// something refers to them.
static void InitResourcesOnce() {
    Q_INIT_RESOURCE(linkfold);
}

void InitLinkfoldResources() {
    static const bool done = (InitResourcesOnce(), true);
    (void)done;
}
