#pragma once

// Makes the program's compiled-in resources (icons, toolbar images, the
// About picture) available. Safe to call more than once.
void initLinkfoldResources();
