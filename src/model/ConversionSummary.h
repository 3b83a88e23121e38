#pragma once
// What one conversion did, for a front that reports it after the run (talvik-cli's summary).
// The conversion fills it as it goes; a run stopped by its up-front checks leaves it empty.

#include <cstdint>
#include <string>
#include <vector>

namespace talvik {

struct WrittenFile {
    std::string path;
    std::uint64_t bytes = 0;
    bool complete = false;  // false when writing it failed
};

struct ConversionSummary {
    std::vector<WrittenFile> files;  // in writing order: project, observations, coordinates
    long long setUps = 0;            // station records written
    long long observations = 0;      // observation lines written
    long long knownPoints = 0;       // points read from the IDEX file
    long long newPoints = 0;         // points the field file added
    long long roundSets = 0;         // round sets opened (record 160)
    long long mismatches = 0;        // round-count mismatches reported
};

}  // namespace talvik
