#include "gui/Resources.h"

#include <QtGlobal>

// The resources live in a static library, so the linker keeps them only when
// something refers to them.
static void initResourcesOnce() {
    Q_INIT_RESOURCE(linkfold);
}

void initLinkfoldResources() {
    static const bool done = (initResourcesOnce(), true);
    (void)done;
}
