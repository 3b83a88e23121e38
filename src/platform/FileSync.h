#pragma once
// Makes sure a written file has reached the disk, so that renaming it into place later is
// quick and a file renamed into place is never found empty after a crash.

#include <string>

namespace talvik {

// Writes the file's data out to the disk. False when the file cannot be opened or flushed.
bool SyncFile(const std::string& path);

}  // namespace talvik
