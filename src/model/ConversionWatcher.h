#pragma once
// Looks over the conversion's shoulder without changing what it writes: it gets the field
// file's angle unit (the unit the file ends with) before the first record, then every
// observation record the writer gets, in the same order (on the writer's thread, so it must not
// talk to the user interface), then, on the caller's thread once the field file has been read,
// the point table as the reading left it and the file's angle unit. The watcher may go on
// reading that table on a thread of its own until the conversion is about to change it.

#include <cstddef>

#include "model/Tables.h"

namespace talvik {

class ConversionWatcher : public ObservationSink {
  public:
    virtual void FieldFileStarts(AngleUnit unit) = 0;
    // Entries 1 .. knownPoints of `points` came from the IDEX file.
    virtual void FieldFileRead(const PointTable& points, std::size_t knownPoints,
                               AngleUnit unit) = 0;
    // The table given to FieldFileRead is about to change or go: returns once the watcher
    // reads it no more.
    virtual void PointTableChanging() = 0;
    // The conversion has written its files and let go of its tables, or stopped: what the
    // watcher still has to do may take their room now. Called once, after FieldFileRead.
    virtual void TablesLetGo() {}
};

}  // namespace talvik
