#pragma once

#include "LinkCheckItem.h"
#include "LinkCheckOptions.h"

#include <iosfwd>
#include <vector>

class Project;
struct CommandLineOptions;

// The check item of the link at group 0..9, row 0..n-1: numbered from 1 as
// the user sees them, the address in UTF-8.
LinkCheckItem checkItemFor(const Project& project, int group, int row);

// Every link of the project, group by group, top row first.
std::vector<LinkCheckItem> projectCheckItems(const Project& project);

// The checker's defaults with this program's version for the User-Agent.
LinkCheckOptions programCheckOptions();

// linkfold --check-links and --duplicates: reads the project (exit status 1
// with the reason on err when it cannot be read), then checks its links
// (making the application object for that, no display needed) or lists its
// duplicates. Returns the exit status.
int runProjectLinkCommand(const CommandLineOptions& info, int& argc, char** argv, std::ostream& out,
                          std::ostream& err);
