#pragma once

#include "app/CommandLine.h"

// Starts the editor for the parsed command line and runs it to the end.
int RunGui(int argc, char** argv, const CCommandLineInfo& info);
