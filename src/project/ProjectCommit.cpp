#include "project/ProjectCommit.h"

#include <cstdio>

#include "platform/FileReplace.h"
#include "text/LineReader.h"

namespace talvik {

namespace {

constexpr std::string_view kJournalHead = "TALVIK COMMIT 1";

// A file of the commit with the name its old version moves aside to (empty: there is none).
struct Entry {
    std::string target;
    std::string fresh;
    std::string aside;
};

std::size_t NameStart(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

bool Exists(const std::string& path) {
    return KindOf(path) != EntryKind::Missing;
}

// The journal names the files without their folder: it is the journal's own.
bool WriteJournal(const std::string& journal, const std::vector<Entry>& entries,
                  std::string& problem) {
    std::string text(kJournalHead);
    text += "\r\n";
    for (const Entry& entry : entries) {
        for (const std::string* path : {&entry.target, &entry.fresh, &entry.aside}) {
            text.append(*path, path->empty() ? 0 : NameStart(*path));
            text += "\r\n";
        }
    }
    text += "END\r\n";
    ReplacingFile file;
    if (!file.Create(journal)) {
        problem = file.Problem();
        return false;
    }
    if (std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size()) file.Fail();
    if (!file.Place()) {
        problem = file.Problem();
        return false;
    }
    return true;
}

bool ReadJournal(const std::string& journal, std::vector<Entry>& entries) {
    LineReader reader;
    if (!reader.Open(journal)) return false;
    const std::string folder = journal.substr(0, NameStart(journal));
    std::string line;
    if (!reader.Next(line) || line != kJournalHead) return false;
    for (;;) {
        if (!reader.Next(line)) return false;
        if (line == "END") return !entries.empty();
        Entry entry;
        entry.target = folder + line;
        if (!reader.Next(line)) return false;
        entry.fresh = folder + line;
        if (!reader.Next(line)) return false;
        if (!line.empty()) entry.aside = folder + line;
        if (entry.target == folder || entry.fresh == folder) return false;
        entries.push_back(std::move(entry));
    }
}

// Every new file moved in: the old files and the journal go.
void Finish(const std::string& journal, const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
        if (!entry.aside.empty()) RemoveEntry(entry.aside);
    }
    RemoveEntry(journal);
}

// Puts the old files back. The new files that moved in go back to their temporary names
// first, then the old files move back, then the journal goes, and only then the new files:
// a later undo of an undo cut short can tell the files apart at every moment.
bool Undo(const std::string& journal, const std::vector<Entry>& entries, std::string& problem) {
    bool ok = true;
    for (const Entry& entry : entries) {
        if (!Exists(entry.fresh) && Exists(entry.target) &&
            !RenameEntry(entry.target, entry.fresh)) {
            problem = entry.target + " (" + LastFileProblem() + ")";
            ok = false;
        }
    }
    if (!ok) return false;
    for (const Entry& entry : entries) {
        if (!entry.aside.empty() && Exists(entry.aside) &&
            !RenameEntry(entry.aside, entry.target)) {
            problem = entry.target + " (" + LastFileProblem() + ")";
            ok = false;
        }
    }
    if (!ok) return false;
    SyncFolderOf(journal);
    RemoveEntry(journal);
    SyncFolderOf(journal);
    for (const Entry& entry : entries)
        RemoveEntry(entry.fresh);
    return true;
}

}  // namespace

std::string JournalPath(const std::string& projectBase) {
    return projectBase + ".JNL";
}

std::string LockPath(const std::string& projectBase) {
    return projectBase + ".LCK";
}

CommitResult CommitProject(const std::string& journal, const std::vector<CommitPart>& parts,
                           const CommitStepHook& hook) {
    const auto reached = [&hook](int step) {
        if (hook) hook(step);
    };
    CommitResult result;
    std::vector<Entry> entries;
    for (const CommitPart& part : parts) {
        Entry entry{part.target, part.fresh, {}};
        if (KindOf(part.target) == EntryKind::File) entry.aside = TemporaryNameFor(part.target);
        entries.push_back(std::move(entry));
    }
    const auto fail = [&](const std::string& target, std::string problem, bool journalWritten) {
        result.failedTarget = target;
        result.problem = std::move(problem);
        std::string undoProblem;
        if (journalWritten) {
            Undo(journal, entries, undoProblem);
        } else {
            for (const Entry& entry : entries)
                RemoveEntry(entry.fresh);
        }
        return result;
    };

    reached(0);
    std::string problem;
    if (!WriteJournal(journal, entries, problem)) return fail(journal, problem, false);
    reached(1);
    int step = 2;
    for (const Entry& entry : entries) {
        if (!entry.aside.empty() && !RenameEntry(entry.target, entry.aside))
            return fail(entry.target, LastFileProblem(), true);
        reached(step++);
    }
    for (const Entry& entry : entries) {
        if (!RenameEntry(entry.fresh, entry.target))
            return fail(entry.target, LastFileProblem(), true);
        reached(step++);
    }
    // The new files are in for good before the old ones go; the journal (on the disk since
    // before the first move) tells a later run what to finish until then.
    SyncFolderOf(journal);
    Finish(journal, entries);
    reached(step);
    result.done = true;
    return result;
}

bool RecoverProject(const std::string& journal, std::string& problem) {
    problem.clear();
    if (KindOf(journal) == EntryKind::Missing) return true;
    std::vector<Entry> entries;
    if (!ReadJournal(journal, entries)) {
        problem = journal + " (onleesbaar; verwijder het als het project in orde is)";
        return false;
    }
    for (const Entry& entry : entries) {
        if (Exists(entry.fresh)) return Undo(journal, entries, problem);
    }
    Finish(journal, entries);
    return true;
}

}  // namespace talvik
