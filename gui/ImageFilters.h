#pragma once

#include <QStringList>

// The file filters offered when choosing an image (a group's bullet image or
// the page's top image): GIF, JPEG, Windows Bitmap and All, GIF selected at
// start.
QStringList imageFileFilters();
