# The program's version lives in one place, the project() line of the
# top-level CMakeLists.txt. C++ code reads it from a generated header:
# link the target lf_version and #include "linkfold_version.h".
configure_file(${CMAKE_CURRENT_LIST_DIR}/linkfold_version.h.in
               ${CMAKE_BINARY_DIR}/generated/linkfold_version.h @ONLY)
add_library(lf_version INTERFACE)
target_include_directories(lf_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# The day of this version's release, shown in the AppStream release entry and
# the manual page.
set(LINKFOLD_RELEASE_DATE 2026-12-10)
