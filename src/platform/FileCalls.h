#pragma once
// What the two back-ends of FileReplace.h give its shared part.

#include <cstdio>
#include <string>

namespace talvik {

// Gives `fresh` the permissions of `target` when the target exists (nothing where files have
// no permission bits).
void KeepPermissions(const std::string& target, const std::string& fresh);

}  // namespace talvik

namespace talvik {

// Opens anything readable for reading bytes, without waiting for a writer of a named pipe
// (there is then nothing to read). Null when it cannot be opened.
std::FILE* OpenWithoutWaiting(const std::string& path);

}  // namespace talvik
