#pragma once

#include "core/CommandLineOptions.h"

// Starts the editor for the parsed command line and runs it to the end.
int runGui(int argc, char** argv, const CommandLineOptions& info);
