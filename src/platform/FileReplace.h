#pragma once
// Files written under a temporary name beside their target and then put in its place in one
// step: readers see either the old file or the new one, never a mix. Every writer of the
// program (project files, IDEX file, store) goes through ReplacingFile, so all of them follow
// the same rules: a random temporary name that fits wherever the final name fits, the file on
// the disk before the rename, a read-only target refused, the permissions of a replaced file
// kept.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace talvik {

// What a path names, found without opening it (a pipe is never opened by looking).
enum class EntryKind { Missing, File, Folder, Other };
EntryKind KindOf(const std::string& path);
// What the path itself is, a symbolic link not followed (it counts as Other).
EntryKind KindOfEntry(const std::string& path);

// True when the path names a file that is marked read-only (Windows' attribute, or no write
// permission for its owner elsewhere).
bool IsReadOnlyFile(const std::string& path);

// "<target>.<8 hex digits>.tmp" beside the target, different for every call. When that name
// would be longer than the system allows (a name near its longest, a path near its longest),
// the target's name is shortened in it, so that the temporary name fits wherever the final
// one does.
std::string TemporaryNameFor(const std::string& target);
// The same with the system's limits given: the longest name of a folder entry and the longest
// path, in bytes.
std::string TemporaryNameFor(const std::string& target, std::size_t longestName,
                             std::size_t longestPath);

// Why the last file call failed, as words for after a path in a message (Dutch,
// Windows-1252): "schijf vol", "geen toegang", "in gebruik door een ander programma",
// "naam te lang", ... Read right after the failing call.
std::string LastFileProblem();
// The same words for a C runtime error number; empty when the number says nothing more than
// "failed". Both systems' LastFileProblem fall back on it.
std::string ProblemOfErrno(int error);

// Creates the file for writing bytes unchanged (binary mode), failing with null when a file of
// that name exists already, so that a temporary name is never someone else's file.
std::FILE* CreateNewFile(const std::string& path);

// Renames `from` to `to`, replacing `to` when it is a file. Both must lie on the same drive.
// False when the rename failed; `from` is then left where it was.
bool ReplaceFile(const std::string& from, const std::string& to);

// Renames `from` to `to`, which must not exist yet. False when the rename failed (also when
// another program holds `from` open without letting it be renamed, on Windows).
bool RenameEntry(const std::string& from, const std::string& to);

// Removes a file; true when it is gone (also when it was not there).
bool RemoveEntry(const std::string& path);

// Writes the folder's list of names to the disk, so that renames in it survive a power cut.
// Only a hint where the system has no such call.
void SyncFolderOf(const std::string& path);

// Writes an open stream's data out to the disk. False when that failed.
bool SyncStream(std::FILE* file);

class ReplacingFile {
  public:
    ReplacingFile() = default;
    // Removes the temporary file unless it was placed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file beside `target`. False (Problem() says why) when the target
    // is marked read-only or is not a file, or the temporary file cannot be created.
    bool Create(const std::string& target);
    // The temporary file, open for writing; null before Create or after Close.
    std::FILE* Stream() const { return file_; }
    // Marks the file as failed, with the reason of the last file call.
    void Fail();
    // Flushes the temporary file, writes it to the disk and closes it. False on any failure
    // since Create.
    bool Close();
    // Close, then puts the temporary file in the target's place (carrying the target's
    // permissions over) and writes the folder to the disk. False (the temporary file removed)
    // on any failure; the target is then as it was.
    bool Place();
    // Closes and removes the temporary file; the target is not touched.
    void Discard();
    // The temporary file is someone else's now (a caller that renames it itself).
    void Release() { temporary_.clear(); }

    bool Failed() const { return failed_; }
    const std::string& Target() const { return target_; }
    const std::string& TemporaryPath() const { return temporary_; }
    // Why the file failed (see LastFileProblem); empty while it has not.
    const std::string& Problem() const { return problem_; }

  private:
    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    std::string problem_;
    bool failed_ = false;
};

// Writes `bytes` as the whole new content of `target` through a ReplacingFile: all of it or,
// false with `problem` saying why, the target as it was.
bool WriteWholeFile(const std::string& target, std::string_view bytes, std::string& problem);

// A lock that one process at a time holds on a path (a lock file beside what it guards; a
// byte-range lock, so that it goes with the process however it ends). The lock file is
// removed when the lock is let go.
class FileLock {
  public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock, waiting up to `wait` while another process holds it. False when it is
    // still held then (Busy()) or the lock file cannot be made (Problem() says why).
    bool Acquire(const std::string& path, std::chrono::milliseconds wait);
    void Release();
    bool Busy() const { return busy_; }
    const std::string& Problem() const { return problem_; }

  private:
    bool TryOnce();

    std::string path_;
    std::intptr_t handle_ = -1;
    bool busy_ = false;
    std::string problem_;
};

}  // namespace talvik
