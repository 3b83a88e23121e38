#include "platform/RegistryDocument.h"

#include <algorithm>
#include <map>

#include "text/Text.h"

namespace talvik::regedit {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::size_t kMaxKeyName = 255;
constexpr std::ptrdiff_t kMaxDepth = 512;

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

}  // namespace

bool HasControlBytes(std::string_view s) {
    return std::find_if(s.begin(), s.end(), IsControlByte) != s.end();
}

namespace {

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

}  // namespace

// Appends the backslash-separated names of `path` to `out`. Empty text adds nothing; an empty
// name (a leading, trailing or doubled backslash) fails.
bool AppendNames(std::string_view path, KeyPath& out) {
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

namespace {

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
// Reading the text.

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
// Keys nest at most 512 deep, as in the platform's registry; a deeper one is kept as written
// but not read.
bool ParseKeyPath(std::string_view inner, std::vector<std::string>& path) {
    if (std::count(inner.begin(), inner.end(), '\\') > kMaxDepth) return false;
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

}  // namespace

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

namespace {

// ---------------------------------------------------------------------------------------------
// Writing the text.

bool Dangles(const Entry& entry) {
    return entry.isValue && entry.kind != DataKind::String && ContinuesInNextLine(entry.raw);
}

}  // namespace

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

bool KeyExists(const Document& doc, const KeyPath& path) {
    if (path.empty()) return true;
    const std::string folded = Fold(path);
    if (doc.keys.count(folded) != 0) return true;
    for (const Section& s : doc.sections) {
        if (s.visible && InSubtree(s.folded, folded)) return true;
    }
    return false;
}

namespace {

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

bool ValidNewNames(const KeyPath& path, std::size_t from) {
    for (std::size_t i = from; i < path.size(); ++i) {
        if (path[i].size() > kMaxKeyName || HasControlBytes(path[i])) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> SubkeyNames(const Document& doc, const KeyPath& path) {
    const std::string prefix = Fold(path);
    std::map<std::string, std::string> subkeys;  // upper-case name -> name as first written
    for (const std::size_t i : doc.order) {
        const Section& s = doc.sections[i];
        if (!s.visible || s.path.size() <= path.size() || !InSubtree(s.folded, prefix)) continue;
        const std::string& subkey = s.path[path.size()];
        subkeys.try_emplace(ToUpper(subkey), subkey);
    }
    std::vector<std::string> names;
    names.reserve(subkeys.size());
    for (auto& [folded, name] : subkeys)
        names.push_back(std::move(name));
    return names;
}

bool ReadString(const Document& doc, const KeyPath& path, std::string_view name, std::size_t limit,
                std::string& text) {
    text.clear();
    const auto key = doc.keys.find(Fold(path));
    if (key == doc.keys.end()) return false;
    const Section& s = doc.sections[key->second];
    const auto value = s.values.find(ToUpper(name));
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

Change AddKey(Document& doc, const KeyPath& base, const KeyPath& full) {
    if (KeyExists(doc, full)) return Change::Unchanged;
    if (!ValidNewNames(full, base.size()) || !KeyExists(doc, base)) return Change::Refused;
    SectionOf(doc, full);
    return Change::Changed;
}

Change SetString(Document& doc, const KeyPath& path, std::string_view name, std::string_view text) {
    if (HasControlBytes(name) || !KeyExists(doc, path)) return Change::Refused;
    const DataKind kind = HasControlBytes(text) ? DataKind::HexString : DataKind::String;
    const bool hadSection = doc.keys.count(Fold(path)) != 0;
    Section& s = SectionOf(doc, path);
    const auto [found, added] = s.values.try_emplace(ToUpper(name), s.entries.size());
    if (added) {
        s.entries.emplace_back();
        s.entries.back().name = std::string(name);
    }
    Entry& entry = s.entries[found->second];
    if (hadSection && !added && entry.kind == kind && entry.data == text) return Change::Unchanged;
    entry.isValue = true;
    entry.kind = kind;
    entry.data = std::string(text);
    entry.raw = ValueLine(entry.name, text);  // an existing value keeps its name's case
    return Change::Changed;
}

Change DeleteValue(Document& doc, const KeyPath& path, std::string_view name) {
    const auto key = doc.keys.find(Fold(path));
    if (key == doc.keys.end()) return Change::Refused;
    Section& s = doc.sections[key->second];
    const auto value = s.values.find(ToUpper(name));
    if (value == s.values.end()) return Change::Refused;
    const std::size_t gone = value->second;
    s.entries.erase(s.entries.begin() + static_cast<std::ptrdiff_t>(gone));
    s.values.erase(value);
    for (auto& [folded, index] : s.values) {
        if (index > gone) --index;
    }
    return Change::Changed;
}

}  // namespace talvik::regedit
