#pragma once

#include "core/ModernPage.h"

#include <string>

class Project;

// Icons for the modern page from the favicon stores of the user's own
// browsers: each host of the project's links looked up once, its picture
// scaled to 32 (or, when smaller, 16) pixels with Qt's image code and
// embedded as a PNG data: URI within kMaxIconUriBytes. Missing or locked
// stores and pictures Qt cannot read are passed over quietly. Needs no
// display: only QImage, no application object.
PageIcons browserPageIcons(const Project& doc);

// The same from the browsers found in home.
PageIcons browserPageIcons(const Project& doc, const std::string& home);

// One picture's bytes as the page's data: URI; empty when Qt cannot read
// it or the result would be too large.
std::string iconDataUri(const std::string& bytes);
