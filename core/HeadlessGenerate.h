#pragma once

#include <iosfwd>
#include <string>

// linkfold --generate PROJECT PAGE: loads the project as open does and writes
// its start page, with no display. Returns the exit status; on failure the
// message the editor would show goes to err.
int runHeadlessGenerate(const std::string& project, const std::string& page, std::ostream& err);

// The path made absolute against the current directory, with "." and ".."
// folded away; symbolic links are left as they are.
std::string makeAbsolutePath(const std::string& path);
