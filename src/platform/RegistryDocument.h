#pragma once
// The REGEDIT4 text of the per-user registry as a document in memory: parsed from bytes and
// written back to bytes, with no file access. The lines that make up each key are kept as
// written, so that a rewrite changes only what was changed:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Kelvaris\Talvik]
//   "TalvikCurrentSel"="1"
//
// Only the keys under HKEY_CURRENT_USER are visible; everything else (comments, other roots,
// binary and number values, lines of unknown meaning) is kept as written. Key and value names
// compare case-insensitively by the Windows-1252 rule and keep the case they were written in. A
// key exists when it or a key below it is written.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace talvik::regedit {

// Key names below HKEY_CURRENT_USER.
using KeyPath = std::vector<std::string>;

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

// Reads the text; a text that cannot be understood gives a document whose `problem` says why
// (what came before the fault is still there to be read).
Document Parse(std::string_view bytes);
// The text of the document, lines ended with CR LF.
std::string Serialize(const Document& doc);

// Appends the backslash-separated names of `path` to `out`. Empty text adds nothing; an empty
// name (a leading, trailing or doubled backslash) fails.
bool AppendNames(std::string_view path, KeyPath& out);
// True when the text holds a byte below 0x20 other than a tab.
bool HasControlBytes(std::string_view s);

bool KeyExists(const Document& doc, const KeyPath& path);
// Names of the direct subkeys of an existing key, ordered by their upper case, each as first
// written.
std::vector<std::string> SubkeyNames(const Document& doc, const KeyPath& path);
// The text of a value; false when the key or value is missing, or the text is longer than
// `limit` bytes. A value of another type reads as empty text.
bool ReadString(const Document& doc, const KeyPath& path, std::string_view name, std::size_t limit,
                std::string& text);

// What a change did to a document.
enum class Change { Refused, Unchanged, Changed };

// Adds the key `full` below the existing key `base` (a prefix of it). Refused when the base
// does not exist or a new name is too long or holds control bytes.
Change AddKey(Document& doc, const KeyPath& base, const KeyPath& full);
// Sets a string value of an existing key. Refused when the key does not exist or the name holds
// control bytes.
Change SetString(Document& doc, const KeyPath& path, std::string_view name, std::string_view text);
// Removes a value of an existing key. Refused when the key or the value does not exist.
Change DeleteValue(Document& doc, const KeyPath& path, std::string_view name);

}  // namespace talvik::regedit
