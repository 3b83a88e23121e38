#pragma once
// Putting the new files of a project in place all together or not at all, also when another
// program holds one of the old files open and when the run is killed part-way.
//
// The new files are complete on the disk under temporary names before the commit starts. The
// commit then writes a journal beside the project (the project path with ".JNL" for its
// extension) that names, per file, the final name, the new file's temporary name and the name
// the old file moves aside to; moves every old file aside; moves every new file in; removes
// the old files; removes the journal. The journal holds bare names, and a reader accepts no
// other names than a writer may write. Whoever opens the project next (under its lock) and finds
// a journal finishes that commit when every new file had moved in, and undoes it otherwise.

#include <functional>
#include <string>
#include <vector>

namespace talvik {

// One file of the project: its final path and the complete new file beside it.
struct CommitPart {
    std::string target;
    std::string fresh;
};

// The journal and lock paths of the project whose files are `<base>.<extension>`.
std::string JournalPath(const std::string& projectBase);
std::string LockPath(const std::string& projectBase);

// How a commit went; `failedTarget` and `problem` name what stopped it.
struct CommitResult {
    bool done = false;
    std::string failedTarget;
    std::string problem;  // words for after the path (Dutch, Windows-1252)
};

// Called after each step of a commit with the step's number (0 before the journal is written);
// lets a test stop the process at every moment.
using CommitStepHook = std::function<void(int step)>;

// Puts the parts in place. Each `fresh` is a temporary name of its target (TemporaryNameFor)
// beside it, and the targets are the project's files named after the journal; any other
// name is refused before anything is written. When a step fails, what was moved is put back, the
// new files are removed, and the old files are as they were.
CommitResult CommitProject(const std::string& journal, const std::vector<CommitPart>& parts,
                           const CommitStepHook& hook = {});

// Finishes or undoes the commit an earlier run left behind (nothing when there is no journal).
// False (with `problem`) when the journal cannot be read or a file cannot be moved back, and
// when the journal names anything but the project's own files and their temporary names (a
// journal someone else put there): it is then left alone, and nothing is moved or removed.
// `hook` is called after each move or removal with its number, from 1.
bool RecoverProject(const std::string& journal, std::string& problem,
                    const CommitStepHook& hook = {});

}  // namespace talvik
