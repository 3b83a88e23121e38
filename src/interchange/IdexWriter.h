#pragma once
// Writes a minimal IDEX file: one layer and one POINTS table. Lines end with CR LF; every text
// is written exactly as given. The lines go to a temporary file beside the target, which
// replaces the target only when End() succeeds, so a failed or abandoned write never leaves a
// half-written file and never touches an existing one.

#include <string>
#include <string_view>

#include "platform/FileReplace.h"

namespace talvik {

class IdexWriter {
  public:
    IdexWriter() = default;
    ~IdexWriter();
    IdexWriter(const IdexWriter&) = delete;
    IdexWriter& operator=(const IdexWriter&) = delete;

    // Creates the temporary file and writes the header, the layer definition and the opening
    // of the point table. False when the target cannot be created (empty path, a directory, a
    // read-only file, a missing or read-only folder).
    bool Begin(const std::string& path, std::string_view layer);
    // One point line on layer 0. False once anything has failed.
    bool Point(int number, std::string_view id, std::string_view east, std::string_view north,
               std::string_view elevation, std::string_view code);
    // Writes the closing lines and puts the file in place. False on any failure; then the
    // temporary file is gone and the target is as it was.
    bool End();
    // Drops the temporary file; the target stays as it was.
    void Abort();
    // Why Begin or End failed, as words for after the path (Dutch).
    const std::string& Problem() const { return problem_; }

  private:
    bool Write(std::string_view text);
    bool WriteLine(std::string_view text);

    ReplacingFile file_;
    std::string line_;
    std::string problem_;
    bool ok_ = false;
};

}  // namespace talvik
