#pragma once
// Files written under a temporary name beside their target and then put in its place in one
// step: readers see either the old file or the new one, never a mix.

#include <cstdio>
#include <string>

namespace talvik {

// Creates the file for writing bytes unchanged (binary mode), failing with null when a file of
// that name exists already, so that a temporary name is never someone else's file.
std::FILE* CreateNewFile(const std::string& path);

// Renames `from` to `to`, replacing `to` when it exists. Both files must be closed and lie on
// the same drive. False when the rename failed; `from` is then left where it was.
bool ReplaceFile(const std::string& from, const std::string& to);

}  // namespace talvik
