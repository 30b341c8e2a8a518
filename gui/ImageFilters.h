#pragma once

#include <QStringList>

// The file filters offered when choosing an image (a group's bullet image or
// the page's top image): first every picture type a browser shows (selected
// at start), then GIF, JPEG, Windows Bitmap and All.
QStringList imageFileFilters();
