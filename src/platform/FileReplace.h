#pragma once
// Puts a finished file in the place of another in one step: readers see either the old file
// or the new one, never a mix. Both files must be closed and lie on the same drive.

#include <string>

namespace talvik {

// Renames `from` to `to`, replacing `to` when it exists. False when the rename failed; `from`
// is then left where it was.
bool ReplaceFile(const std::string& from, const std::string& to);

}  // namespace talvik
