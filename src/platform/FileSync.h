#pragma once
// Making the replacement of files quick: a written file is on the disk before it is renamed
// into place (and never found empty after a crash), and the file it replaces is held open so
// that the rename does not have to free its data as well. The renames of the files of a
// project then follow each other within microseconds.

#include <cstdint>
#include <cstdio>
#include <string>

namespace talvik {

// Lets the system start writing `length` bytes of an open file from `offset` to the disk now,
// so that the sync at its end has little left to wait for. Only a hint.
void StartWriteBack(std::FILE* file, std::uint64_t offset, std::uint64_t length);

// Tells the system that an existing file's data will not be read again (it is about to be
// replaced), so that the data need not stay in memory and the replacement does not have to
// free it. Only a hint: the file is not changed.
void DropCachedData(const std::string& path);

// Keeps the data of an existing file until the hold ends. Holds nothing when there is no such
// file, or where an open file cannot be replaced.
class FileHold {
  public:
    explicit FileHold(const std::string& path);
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

  private:
    std::intptr_t handle_ = -1;
};

}  // namespace talvik
