#include "platform/RegistryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "text/Text.h"

namespace talvik {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::size_t kMaxKeyName = 255;

// ---------------------------------------------------------------------------------------------
// The file as a document: the lines that make up each key, kept as written so that a rewrite
// changes only what was changed.

enum class DataKind { String, HexString, Other };

struct Entry {
    std::string raw;  // as written; the lines of a continued value joined by CR LF
    bool isValue = false;
    std::string name;  // value name, empty for the default value "@"
    DataKind kind = DataKind::Other;
    std::string data;  // the text of a string, the bytes of hex(1), the raw data otherwise
};

struct Section {
    std::string header;  // "[...]" as written
    bool visible = false;
    std::vector<std::string> path;  // names below HKEY_CURRENT_USER
    std::string folded;             // upper-case path, names joined by backslashes
    std::vector<Entry> entries;
    std::unordered_map<std::string, std::size_t> values;  // upper-case value name -> entry
};

struct Document {
    std::string header = "REGEDIT4";
    std::vector<Entry> prelude;      // lines between the header and the first key
    std::vector<Section> sections;   // in the order first seen; never removed
    std::vector<std::size_t> order;  // order of the sections in the file
    std::unordered_map<std::string, std::size_t> keys;  // folded path -> visible section
    std::string problem;  // why the file cannot be rewritten; empty when it can
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeftSpace(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view TrimRightSpace(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && IsSpace(s[n - 1]))
        --n;
    return s.substr(0, n);
}

bool IsControlByte(char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t';
}

bool HasControlBytes(std::string_view s) {
    return std::find_if(s.begin(), s.end(), IsControlByte) != s.end();
}

std::string Fold(const std::vector<std::string>& path, std::size_t count) {
    std::string folded;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) folded += '\\';
        folded += ToUpper(path[i]);
    }
    return folded;
}

std::string Fold(const std::vector<std::string>& path) {
    return Fold(path, path.size());
}

// True when the folded path lies in the subtree of the folded prefix (or is the prefix).
bool InSubtree(std::string_view folded, std::string_view prefix) {
    if (prefix.empty()) return true;
    if (!folded.starts_with(prefix)) return false;
    return folded.size() == prefix.size() || folded[prefix.size()] == '\\';
}

// Appends the backslash-separated names of `path` to `out`. Empty text adds nothing; an empty
// name (a leading, trailing or doubled backslash) fails.
bool AppendNames(std::string_view path, std::vector<std::string>& out) {
    if (path.empty()) return true;
    while (true) {
        const std::size_t cut = path.find('\\');
        const std::string_view name = path.substr(0, cut);
        if (name.empty()) return false;
        out.emplace_back(name);
        if (cut == std::string_view::npos) return true;
        path.remove_prefix(cut + 1);
    }
}

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// The line of a string value. Texts with line breaks or other control bytes cannot stand
// between quotes; they are written as the bytes of a string value ("hex(1):").
std::string ValueLine(std::string_view name, std::string_view text) {
    std::string out = name.empty() ? std::string("@") : "\"" + Escape(name) + "\"";
    out += '=';
    if (!HasControlBytes(text)) {
        out += '"';
        out += Escape(text);
        out += '"';
        return out;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    out += "hex(1):";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0) {
            out += ',';
            if (i % 25 == 0) {
                out += '\\';
                out += kLineEnd;
                out += "  ";
            }
        }
        const auto u = static_cast<unsigned char>(text[i]);
        out += kHex[u >> 4];
        out += kHex[u & 15];
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reading the file.

class Lines {
  public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const std::size_t end = text_.find_first_of("\r\n", pos_);
        if (end == std::string_view::npos) {
            line = text_.substr(pos_);
            pos_ = text_.size();
        } else {
            line = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        }
        ++number_;
        return true;
    }

    bool Peek(std::string_view& line) {
        const std::size_t pos = pos_;
        const std::size_t number = number_;
        const bool found = Next(line);
        pos_ = pos;
        number_ = number;
        return found;
    }

    std::size_t Number() const { return number_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

// Reads a quoted text starting at s[pos] == '"'; pos ends behind the closing quote.
// A backslash escapes a backslash or a quote; before any other character it stands for itself.
bool ParseQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    out.clear();
    ++pos;
    while (pos < s.size()) {
        const std::size_t stop = s.find_first_of("\\\"", pos);
        if (stop == std::string_view::npos) break;
        out.append(s, pos, stop - pos);
        pos = stop;
        if (s[pos] == '"') {
            ++pos;
            return true;
        }
        if (pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) ++pos;
        out += s[pos];
        ++pos;
    }
    pos = s.size();
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes of "hex(1):61,62,00" (blanks and continuation backslashes allowed).
bool ParseHexString(std::string_view data, std::string& bytes) {
    constexpr std::string_view kPrefix = "HEX(1):";
    if (data.size() < kPrefix.size() || ToUpper(data.substr(0, kPrefix.size())) != kPrefix) {
        return false;
    }
    bytes.clear();
    int digits = 0;
    int value = 0;
    for (const char c : data.substr(kPrefix.size())) {
        if (IsSpace(c) || c == '\\') continue;
        if (c == ',') {
            if (digits == 0) return false;
            bytes += static_cast<char>(value);
            digits = 0;
            value = 0;
            continue;
        }
        const int d = HexDigit(c);
        if (d < 0 || digits == 2) return false;
        value = value * 16 + d;
        ++digits;
    }
    if (digits > 0) bytes += static_cast<char>(value);  // a trailing comma is tolerated
    return true;
}

// A line that goes on in the next one ends with a backslash; the next line is a continuation
// unless it is blank or starts something of its own.
bool ContinuesInNextLine(std::string_view raw) {
    const std::string_view t = TrimRightSpace(raw);
    return !t.empty() && t.back() == '\\';
}

bool IsContinuation(std::string_view line) {
    const std::string_view t = TrimLeftSpace(line);
    if (t.empty() || HasControlBytes(line)) return false;
    return t[0] != '"' && t[0] != '@' && t[0] != '[' && t[0] != ';';
}

bool ParseValue(std::string_view line, Lines& lines, Entry& entry, std::string& reason) {
    const std::string_view t = TrimLeftSpace(line);
    entry.raw = std::string(line);
    entry.isValue = true;
    std::size_t p = 0;
    if (t[0] == '@') {
        entry.name.clear();
        p = 1;
    } else if (!ParseQuoted(t, p, entry.name)) {
        reason = "aanhalingsteken niet gesloten";
        return false;
    }
    while (p < t.size() && IsSpace(t[p]))
        ++p;
    if (p >= t.size() || t[p] != '=') {
        reason = "\"=\" ontbreekt na de naam";
        return false;
    }
    ++p;
    while (p < t.size() && IsSpace(t[p]))
        ++p;
    if (p < t.size() && t[p] == '"') {
        if (!ParseQuoted(t, p, entry.data)) {
            reason = "aanhalingsteken niet gesloten";
            return false;
        }
        if (!TrimLeftSpace(t.substr(p)).empty()) {
            reason = "tekst na het sluitende aanhalingsteken";
            return false;
        }
        entry.kind = DataKind::String;
        return true;
    }
    std::string joined(t.substr(p));
    std::string_view next;
    while (ContinuesInNextLine(entry.raw) && lines.Peek(next) && IsContinuation(next)) {
        lines.Next(next);
        entry.raw += kLineEnd;
        entry.raw += next;
        joined += next;
    }
    if (ParseHexString(joined, entry.data)) {
        entry.kind = DataKind::HexString;
    } else {
        entry.kind = DataKind::Other;
        entry.data = std::move(joined);
    }
    return true;
}

// "HKEY_CURRENT_USER\a\b" -> {a, b}; false for other roots and malformed paths.
bool ParseKeyPath(std::string_view inner, std::vector<std::string>& path) {
    const std::size_t cut = inner.find('\\');
    const std::string root = ToUpper(inner.substr(0, cut));
    if (root != kRootName && root != "HKCU") return false;
    if (cut == std::string_view::npos) return true;
    return AppendNames(inner.substr(cut + 1), path);
}

void AddEntry(Document& doc, long section, Entry entry) {
    if (section < 0) {
        doc.prelude.push_back(std::move(entry));
        return;
    }
    Section& s = doc.sections[static_cast<std::size_t>(section)];
    if (entry.isValue) {
        const auto [found, added] = s.values.try_emplace(ToUpper(entry.name), s.entries.size());
        if (!added) {
            s.entries[found->second] = std::move(entry);  // a later value of that name wins
            return;
        }
    }
    s.entries.push_back(std::move(entry));
}

Document Parse(std::string_view bytes) {
    Document doc;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    Lines lines(bytes);
    bool headerSeen = false;
    long section = -1;
    std::string_view line;
    const auto fail = [&](std::string_view reason) {
        doc.problem = "regel " + IntText(static_cast<long long>(lines.Number())) + ": ";
        doc.problem += reason;
    };
    while (lines.Next(line)) {
        if (HasControlBytes(line)) {
            fail("onleesbare tekens (binaire gegevens)");
            break;
        }
        const std::string_view t = TrimLeftSpace(line);
        if (t.empty()) continue;
        if (!headerSeen) {
            const std::string_view h = TrimRightSpace(t);
            if (h == "REGEDIT4" || h.starts_with("Windows Registry Editor Version ")) {
                doc.header = std::string(h);
                headerSeen = true;
                continue;
            }
            fail("de eerste regel is niet \"REGEDIT4\"");
            break;
        }
        if (t[0] == '[') {
            const std::string_view h = TrimRightSpace(t);
            if (h.size() < 2 || h.back() != ']') {
                fail("\"]\" ontbreekt");
                break;
            }
            const std::string_view inner = h.substr(1, h.size() - 2);
            Section s;
            s.header = std::string(h);
            s.visible = !inner.starts_with('-') && ParseKeyPath(inner, s.path);
            if (s.visible) {
                s.folded = Fold(s.path);
                const auto found = doc.keys.find(s.folded);
                if (found != doc.keys.end()) {  // the same key once more: one key
                    section = static_cast<long>(found->second);
                    continue;
                }
                doc.keys.emplace(s.folded, doc.sections.size());
            } else {
                s.path.clear();
            }
            section = static_cast<long>(doc.sections.size());
            doc.order.push_back(doc.sections.size());
            doc.sections.push_back(std::move(s));
            continue;
        }
        Entry entry;
        const bool defaultValue = t[0] == '@' && TrimLeftSpace(t.substr(1)).starts_with('=');
        if (t[0] == '"' || defaultValue) {
            std::string reason;
            if (!ParseValue(line, lines, entry, reason)) {
                fail(reason);
                break;
            }
        } else {
            entry.raw = std::string(line);  // a comment or a line of unknown meaning
        }
        AddEntry(doc, section, std::move(entry));
    }
    return doc;
}

// ---------------------------------------------------------------------------------------------
// Writing the file.

bool Dangles(const Entry& entry) {
    return entry.isValue && entry.kind != DataKind::String && ContinuesInNextLine(entry.raw);
}

std::string Serialize(const Document& doc) {
    std::string out = doc.header;
    out += kLineEnd;
    out += kLineEnd;
    const auto put = [&out](const Entry& entry) {
        out += entry.raw;
        out += kLineEnd;
        if (Dangles(entry)) out += kLineEnd;  // keeps the next line from continuing it
    };
    for (const Entry& entry : doc.prelude)
        put(entry);
    if (!doc.prelude.empty()) out += kLineEnd;
    for (const std::size_t i : doc.order) {
        const Section& s = doc.sections[i];
        out += s.header;
        out += kLineEnd;
        for (const Entry& entry : s.entries)
            put(entry);
        out += kLineEnd;
    }
    return out;
}

bool KeyExists(const Document& doc, const std::vector<std::string>& path) {
    if (path.empty()) return true;
    const std::string folded = Fold(path);
    if (doc.keys.count(folded) != 0) return true;
    for (const Section& s : doc.sections) {
        if (s.visible && InSubtree(s.folded, folded)) return true;
    }
    return false;
}

// The section of an existing key, added when the key so far exists only through its subkeys.
// A new section goes behind the last key of the nearest ancestor's subtree.
Section& SectionOf(Document& doc, const std::vector<std::string>& path) {
    const std::string folded = Fold(path);
    const auto found = doc.keys.find(folded);
    if (found != doc.keys.end()) return doc.sections[found->second];

    Section s;
    s.visible = true;
    s.path = path;
    s.folded = folded;
    // Names of keys that exist already keep the case they were first written in.
    for (std::size_t depth = 0; depth < path.size(); ++depth) {
        const std::string prefix = Fold(path, depth + 1);
        for (const std::size_t i : doc.order) {
            const Section& other = doc.sections[i];
            if (other.visible && InSubtree(other.folded, prefix)) {
                s.path[depth] = other.path[depth];
                break;
            }
        }
    }
    s.header = "[" + std::string(kRootName);
    for (const std::string& name : s.path)
        s.header += "\\" + name;
    s.header += "]";
    const std::size_t index = doc.sections.size();
    doc.keys.emplace(folded, index);
    doc.sections.push_back(std::move(s));

    std::size_t insertAt = doc.order.size();
    for (std::size_t depth = path.size(); depth-- > 0;) {
        const std::string ancestor = Fold(path, depth);
        std::size_t last = doc.order.size();
        for (std::size_t i = 0; i < doc.order.size(); ++i) {
            const Section& other = doc.sections[doc.order[i]];
            if (other.visible && InSubtree(other.folded, ancestor)) last = i;
        }
        if (last < doc.order.size()) {
            insertAt = last + 1;
            break;
        }
    }
    doc.order.insert(doc.order.begin() + static_cast<std::ptrdiff_t>(insertAt), index);
    return doc.sections[index];
}

// ---------------------------------------------------------------------------------------------
// Files.

constexpr std::string_view kNoPathProblem =
    "Er is geen plaats voor het registerbestand: HOME en XDG_CONFIG_HOME zijn niet gezet.";

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

std::string ShownPath(const std::string& path) {
    return "\"" + Cp1252FromUtf8(path) + "\"";
}

std::string DamagedProblem(const std::string& path, const std::string& reason) {
    return "Het registerbestand " + ShownPath(path) + " is beschadigd (" + reason +
           "). Talvik leest wat het kan, maar wijzigt het bestand niet; herstel of verwijder "
           "het.";
}

std::string ReadProblem(const std::string& path, const std::string& reason) {
    return "Het registerbestand " + ShownPath(path) + " kan niet worden gelezen (" + reason + ").";
}

std::string WriteProblem(const std::string& path, const std::string& reason) {
    return "Het registerbestand " + ShownPath(path) + " kan niet worden bijgewerkt (" + reason +
           ").";
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

enum class ReadOutcome { Read, Missing, Failed };

ReadOutcome ReadAll(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    // Without waiting: a pipe or device in the file's place is refused, not read.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        if (errno == ENOENT) return ReadOutcome::Missing;
        error = ErrorText(errno);
        return ReadOutcome::Failed;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        error = ErrorText(errno);
        return ReadOutcome::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        error = ErrorText(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        return ReadOutcome::Failed;
    }
    // Read straight into the text, growing it when the file turns out longer than it was.
    std::size_t length = 0;
    bytes.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1
                                                       : 65536);
    while (true) {
        if (length == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd.Get(), bytes.data() + length, bytes.size() - length);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = ErrorText(errno);
            bytes.clear();
            return ReadOutcome::Failed;
        }
        length += static_cast<std::size_t>(n);
    }
    bytes.resize(length);
    return ReadOutcome::Read;
}

// Reads and parses the file; `problem` tells what stood in the way. False when the file
// cannot be rewritten (it could not be read, or it could not be understood).
bool Load(const std::string& path, Document& doc, std::string& problem) {
    std::string bytes;
    std::string error;
    doc = Document();
    problem.clear();
    if (path.empty()) {
        problem = kNoPathProblem;
        return false;
    }
    switch (ReadAll(path, bytes, error)) {
        case ReadOutcome::Missing:
            return true;
        case ReadOutcome::Failed:
            problem = ReadProblem(path, error);
            return false;
        case ReadOutcome::Read:
            break;
    }
    doc = Parse(bytes);
    if (doc.problem.empty()) return true;
    problem = DamagedProblem(path, doc.problem);
    return false;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool MakeFolders(const std::string& folder, std::string& error) {
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos < folder.size() && folder[pos] != '/') continue;
        const std::string part = folder.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = ErrorText(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = ErrorText(ENOTDIR);
        return false;
    }
    return true;
}

// The file that is really written: the target of a symbolic link, the path itself otherwise.
std::string WriteTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes a temporary file beside the target and renames it into place.
bool ReplaceFile(const std::string& target, std::string_view bytes, std::string& error) {
    std::string name = target + ".XXXXXX";
    FileDescriptor fd(::mkstemp(name.data()));
    if (fd.Get() < 0) {
        error = ErrorText(errno);
        return false;
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) ::fchmod(fd.Get(), st.st_mode & 07777);
    bool ok = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    if (ok) ok = ::close(fd.Release()) == 0;
    if (ok) ok = ::rename(name.c_str(), target.c_str()) == 0;
    if (!ok) {
        error = ErrorText(errno);
        ::unlink(name.c_str());
        return false;
    }
    return true;
}

enum class Change { Refused, Unchanged, Changed };

// Runs one change on the current file under the lock and writes the result.
template <typename ChangeFunction>
bool ChangeFile(const std::string& path, std::string& problem, ChangeFunction&& change) {
    if (path.empty()) {
        problem = kNoPathProblem;
        return false;
    }
    const std::string target = WriteTarget(path);
    std::string error;
    if (!MakeFolders(FolderOf(target), error)) {
        problem = WriteProblem(path, error);
        return false;
    }
    const std::string lockName = target + ".lock";
    FileDescriptor lock(::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0) {
        problem = WriteProblem(path, ErrorText(errno));
        return false;
    }
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            problem = WriteProblem(path, ErrorText(errno));
            return false;
        }
    }
    Document doc;
    if (!Load(target, doc, problem)) return false;
    switch (change(doc)) {
        case Change::Refused:
            return false;
        case Change::Unchanged:
            return true;
        case Change::Changed:
            break;
    }
    const std::string bytes = Serialize(doc);
    if (!Parse(bytes).problem.empty()) {  // never write what could not be read back
        problem = WriteProblem(path, "interne fout bij het opbouwen");
        return false;
    }
    if (!ReplaceFile(target, bytes, error)) {
        problem = WriteProblem(path, error);
        return false;
    }
    return true;  // closing the lock file releases the lock
}

bool ValidNewNames(const std::vector<std::string>& path, std::size_t from) {
    for (std::size_t i = from; i < path.size(); ++i) {
        if (path[i].size() > kMaxKeyName || HasControlBytes(path[i])) return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

RegistryFile::RegistryFile(std::string path) : path_(std::move(path)) {}

std::string RegistryFile::DefaultPath() {
    return DefaultPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::string RegistryFile::DefaultPath(const char* xdgConfigHome, const char* home) {
    std::string folder;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        folder = xdgConfigHome;
    } else if (home != nullptr && home[0] != '\0') {
        folder = std::string(home);
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        folder += "/.config";
    } else {
        return std::string();
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder == "/") folder.clear();
    return folder + "/talvik/registry.reg";
}

const std::string& RegistryFile::CheckFile() {
    Document doc;
    Load(path_, doc, problem_);
    return problem_;
}

bool RegistryFile::Resolve(RegKey parent, std::string_view path, KeyPath& full) const {
    full.clear();
    if (parent != kHkeyCurrentUser) {
        const auto found = handles_.find(parent);
        if (found == handles_.end()) return false;
        full = found->second;
    }
    return AppendNames(path, full);
}

RegKey RegistryFile::NewHandle(KeyPath path) {
    if (nextHandle_ == 0 || nextHandle_ == kHkeyCurrentUser) nextHandle_ = 1;
    while (handles_.count(nextHandle_) != 0 || nextHandle_ == kHkeyCurrentUser)
        ++nextHandle_;
    const RegKey key = nextHandle_++;
    handles_.emplace(key, std::move(path));
    return key;
}

bool RegistryFile::OpenKey(RegKey parent, std::string_view path, RegKey& key) {
    key = 0;
    KeyPath full;
    if (!Resolve(parent, path, full)) return false;
    Document doc;
    Load(path_, doc, problem_);
    if (!KeyExists(doc, full)) return false;
    key = NewHandle(std::move(full));
    return true;
}

bool RegistryFile::CreateKey(RegKey parent, std::string_view name, RegKey& key) {
    key = 0;
    if (name.empty()) return false;
    KeyPath base;
    if (!Resolve(parent, "", base)) return false;
    KeyPath full = base;
    if (!AppendNames(name, full) || !ValidNewNames(full, base.size())) return false;

    Document doc;
    Load(path_, doc, problem_);
    bool exists = KeyExists(doc, full);
    if (!exists) {
        exists = ChangeFile(path_, problem_, [&](Document& current) {
            if (KeyExists(current, full)) return Change::Unchanged;
            if (!KeyExists(current, base)) return Change::Refused;
            SectionOf(current, full);
            return Change::Changed;
        });
    }
    if (!exists) return false;
    key = NewHandle(std::move(full));
    return true;
}

bool RegistryFile::CloseKey(RegKey key) {
    if (key == kHkeyCurrentUser) return true;
    return handles_.erase(key) != 0;
}

long RegistryFile::EnumSubkey(RegKey key, std::uint32_t index, std::string& name) {
    name.clear();
    KeyPath full;
    if (!Resolve(key, "", full)) return kRegInvalidHandle;
    Document doc;
    Load(path_, doc, problem_);
    const std::string prefix = Fold(full);
    std::map<std::string, std::string> subkeys;  // upper-case name -> name as first written
    for (const std::size_t i : doc.order) {
        const Section& s = doc.sections[i];
        if (!s.visible || s.path.size() <= full.size() || !InSubtree(s.folded, prefix)) continue;
        const std::string& subkey = s.path[full.size()];
        subkeys.try_emplace(ToUpper(subkey), subkey);
    }
    if (index >= subkeys.size()) return kRegNoMoreItems;
    const std::string& found = std::next(subkeys.begin(), index)->second;
    if (found.size() > kMaxSubkeyName) return kRegMoreData;
    name = found;
    return kRegSuccess;
}

bool RegistryFile::ReadValue(RegKey root, std::string_view path, std::string_view valueName,
                             std::size_t limit, std::string& text) {
    text.clear();
    KeyPath full;
    if (!Resolve(root, path, full)) return false;
    Document doc;
    Load(path_, doc, problem_);
    const auto key = doc.keys.find(Fold(full));
    if (key == doc.keys.end()) return false;
    const Section& s = doc.sections[key->second];
    const auto value = s.values.find(ToUpper(valueName));
    if (value == s.values.end()) return false;
    const Entry& entry = s.entries[value->second];
    if (entry.data.size() > limit) return false;
    // A value of another type reads as empty text, as the platform's query succeeds for it;
    // so the menu search passes over another converter's entry instead of taking its slot.
    if (entry.kind == DataKind::Other) return entry.data != "-";  // "name"=- deletes the value
    std::string_view data = entry.data;
    if (entry.kind == DataKind::HexString && !data.empty() && data.back() == '\0') {
        data.remove_suffix(1);
    }
    text = std::string(data);
    return true;
}

bool RegistryFile::GetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                  std::string& text) {
    return ReadValue(root, path, valueName, kMaxValueBytes, text);
}

bool RegistryFile::GetLongStringValue(RegKey root, std::string_view path,
                                      std::string_view valueName, std::string& text) {
    return ReadValue(root, path, valueName, std::string::npos, text);
}

bool RegistryFile::SetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                  std::string_view text) {
    KeyPath full;
    if (!Resolve(root, path, full) || HasControlBytes(valueName)) return false;
    const DataKind kind = HasControlBytes(text) ? DataKind::HexString : DataKind::String;
    return ChangeFile(path_, problem_, [&](Document& doc) {
        if (!KeyExists(doc, full)) return Change::Refused;
        const bool hadSection = doc.keys.count(Fold(full)) != 0;
        Section& s = SectionOf(doc, full);
        const auto [found, added] = s.values.try_emplace(ToUpper(valueName), s.entries.size());
        if (added) {
            s.entries.emplace_back();
            s.entries.back().name = std::string(valueName);
        }
        Entry& entry = s.entries[found->second];
        if (hadSection && !added && entry.kind == kind && entry.data == text) {
            return Change::Unchanged;
        }
        entry.isValue = true;
        entry.kind = kind;
        entry.data = std::string(text);
        entry.raw = ValueLine(entry.name, text);  // an existing value keeps its name's case
        return Change::Changed;
    });
}

bool RegistryFile::DeleteValue(RegKey root, std::string_view path, std::string_view valueName) {
    KeyPath full;
    if (!Resolve(root, path, full)) return false;
    return ChangeFile(path_, problem_, [&](Document& doc) {
        const auto key = doc.keys.find(Fold(full));
        if (key == doc.keys.end()) return Change::Refused;
        Section& s = doc.sections[key->second];
        const auto value = s.values.find(ToUpper(valueName));
        if (value == s.values.end()) return Change::Refused;
        const std::size_t gone = value->second;
        s.entries.erase(s.entries.begin() + static_cast<std::ptrdiff_t>(gone));
        s.values.erase(value);
        for (auto& [name, index] : s.values) {
            if (index > gone) --index;
        }
        return Change::Changed;
    });
}

}  // namespace talvik
