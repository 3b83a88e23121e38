#include "project/ProjectCommit.h"

#include <cstdint>
#include <cstdio>
#include <set>
#include <string_view>

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

// A name the journal may hold: a name inside the journal's own folder, nothing that leads out
// of it (no folder separator, no drive, no "..") and nothing that could break its lines.
bool IsBareName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == ':') return false;
    }
    return true;
}

// True when `name` is a temporary name that TemporaryNameFor gives `target` (the same but for
// its eight hex digits).
bool IsTemporaryNameOf(std::string_view name, const std::string& target) {
    const std::string expected = TemporaryNameFor(target);
    const std::string_view shape = std::string_view(expected).substr(NameStart(expected));
    constexpr std::size_t kTail = 13;  // ".<8 hex digits>.tmp"
    if (name.size() != shape.size() || name.size() <= kTail ||
        name.substr(0, name.size() - kTail + 1) != shape.substr(0, shape.size() - kTail + 1) ||
        !name.ends_with(".tmp"))
        return false;
    for (const char c : name.substr(name.size() - kTail + 1, 8)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// A project's own file: its stem with one of the extensions the export writes.
bool IsProjectFileName(std::string_view name, std::string_view stem) {
    if (name.size() != stem.size() + 4 || !name.starts_with(stem)) return false;
    const std::string_view extension = name.substr(stem.size());
    return extension == ".PRJ" || extension == ".OBS" || extension == ".TOB" || extension == ".TCO";
}

// The stem of the project whose journal this is: its name without ".JNL".
std::string_view StemOf(const std::string& journal) {
    const std::string_view name = std::string_view(journal).substr(NameStart(journal));
    return name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
}

// True when `name` may stand in the journal: one of the project's own files when `target` is
// empty, otherwise a temporary name of that file.
bool IsOwnName(std::string_view name, std::string_view stem, const std::string& target) {
    return IsBareName(name) &&
           (target.empty() ? IsProjectFileName(name, stem) : IsTemporaryNameOf(name, target));
}

// The journal names the files without their folder: it is the journal's own.
bool WriteJournal(const std::string& journal, const std::vector<Entry>& entries,
                  std::string& problem) {
    std::string text(kJournalHead);
    text += "\r\n";
    for (const Entry& entry : entries) {
        for (const std::string* path : {&entry.target, &entry.fresh, &entry.aside}) {
            const std::string_view name =
                std::string_view(*path).substr(path->empty() ? 0 : NameStart(*path));
            // Only what a later run would accept is written: no name can change the journal's
            // lines or lead out of the folder.
            if (!(path == &entry.aside && name.empty()) &&
                !IsOwnName(name, StemOf(journal),
                           path == &entry.target ? std::string() : entry.target)) {
                problem = "ongeldige naam " + std::string(name);
                return false;
            }
            text += name;
            text += "\r\n";
        }
    }
    text += "END\r\n";
    return WriteWholeFile(journal, text, problem);
}

// What reading a journal found. A refused journal names a file that is not one of the
// project's own or a temporary name of one; `line` and `lineNumber` say which.
enum class JournalReading { Read, Unreadable, Refused };

struct JournalFault {
    std::uint64_t lineNumber = 0;
    std::string line;
};

// Reads the journal and checks every name in it before anything is done with it: each is a
// bare name in the journal's folder, the first of each three one of the project's own files
// (the project's stem is the journal's), the other two a temporary name of it, none twice,
// and what exists under a name is a plain file (no folder, no link).
JournalReading ReadJournal(const std::string& journal, std::vector<Entry>& entries,
                           JournalFault& fault) {
    LineReader reader;
    if (!reader.Open(journal)) return JournalReading::Unreadable;
    const std::string folder = journal.substr(0, NameStart(journal));
    const std::string_view stem = StemOf(journal);
    std::set<std::string> named;
    std::string line;
    if (!reader.Next(line) || line != kJournalHead) return JournalReading::Unreadable;
    const auto refuse = [&] {
        fault.lineNumber = reader.LineNumber();
        fault.line = line;
        return JournalReading::Refused;
    };
    // Checks one name; `target` is empty for the first of three.
    const auto accept = [&](const std::string& target, bool mayBeEmpty) {
        if (mayBeEmpty && line.empty()) return true;
        if (!IsOwnName(line, stem, target)) return false;
        if (!named.insert(line).second) return false;
        const EntryKind kind = KindOfEntry(folder + line);
        return kind == EntryKind::Missing || kind == EntryKind::File;
    };
    for (;;) {
        if (!reader.Next(line)) return JournalReading::Unreadable;
        if (line == "END") break;
        Entry entry;
        if (!accept({}, false)) return refuse();
        entry.target = folder + line;
        if (!reader.Next(line)) return JournalReading::Unreadable;
        if (!accept(entry.target, false)) return refuse();
        entry.fresh = folder + line;
        if (!reader.Next(line)) return JournalReading::Unreadable;
        if (!accept(entry.target, true)) return refuse();
        if (!line.empty()) entry.aside = folder + line;
        entries.push_back(std::move(entry));
    }
    if (reader.Next(line)) return refuse();  // nothing may follow the end
    return entries.empty() ? JournalReading::Unreadable : JournalReading::Read;
}

// A line of a journal as a message shows it: bytes that would break the message as "?".
std::string Shown(std::string_view line) {
    std::string shown(line.substr(0, 200));
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return shown;
}

// Counts the moves and removals of a recovery for its hook.
struct Steps {
    const CommitStepHook* hook = nullptr;
    int done = 0;
    void Next() {
        ++done;
        if (hook != nullptr && *hook) (*hook)(done);
    }
};

// Every new file moved in: the old files and the journal go.
void Finish(const std::string& journal, const std::vector<Entry>& entries, Steps& steps) {
    for (const Entry& entry : entries) {
        if (!entry.aside.empty()) RemoveEntry(entry.aside);
        steps.Next();
    }
    RemoveEntry(journal);
    steps.Next();
}

// Puts the old files back: the new files that moved in go back to their temporary names, the
// old files move back, the new files are removed, and the journal goes last, so that a run
// that finds the journal again can go on from any of these moments. A new file stands at its
// final name only while its old file is still aside (or it had none), so that a target whose
// old file is back is never taken for a new one.
bool Undo(const std::string& journal, const std::vector<Entry>& entries, std::string& problem,
          Steps& steps) {
    bool ok = true;
    for (const Entry& entry : entries) {
        if (!Exists(entry.fresh) && Exists(entry.target) &&
            (entry.aside.empty() || Exists(entry.aside)) &&
            !RenameEntry(entry.target, entry.fresh)) {
            problem = entry.target + " (" + LastFileProblem() + ")";
            ok = false;
        }
        steps.Next();
    }
    if (!ok) return false;
    for (const Entry& entry : entries) {
        if (!entry.aside.empty() && Exists(entry.aside) &&
            !RenameEntry(entry.aside, entry.target)) {
            problem = entry.target + " (" + LastFileProblem() + ")";
            ok = false;
        }
        steps.Next();
    }
    if (!ok) return false;
    SyncFolderOf(journal);
    for (const Entry& entry : entries) {
        RemoveEntry(entry.fresh);
        steps.Next();
    }
    SyncFolderOf(journal);
    RemoveEntry(journal);
    steps.Next();
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
        Steps none;
        if (journalWritten) {
            Undo(journal, entries, undoProblem, none);
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
    Steps none;
    Finish(journal, entries, none);
    reached(step);
    result.done = true;
    return result;
}

bool RecoverProject(const std::string& journal, std::string& problem, const CommitStepHook& hook) {
    problem.clear();
    if (KindOf(journal) == EntryKind::Missing) return true;
    std::vector<Entry> entries;
    JournalFault fault;
    switch (ReadJournal(journal, entries, fault)) {
        case JournalReading::Read:
            break;
        case JournalReading::Unreadable:
            problem = journal + " (onleesbaar; verwijder het als het project in orde is)";
            return false;
        case JournalReading::Refused:
            problem = journal + " (regel " + std::to_string(fault.lineNumber) + " \"" +
                      Shown(fault.line) +
                      "\" is geen bestand van dit project; niets verplaatst of verwijderd, het "
                      "journaal is blijven staan)";
            return false;
    }
    Steps steps{&hook};
    for (const Entry& entry : entries) {
        if (Exists(entry.fresh)) return Undo(journal, entries, problem, steps);
    }
    Finish(journal, entries, steps);
    return true;
}

}  // namespace talvik
