#pragma once
// The network check: approximate coordinates for every point the known points do not give,
// and the findings that point at field-book blunders before the network goes to adjustment.
// It reads the observations of the same reading the export makes and never changes anything
// the export writes.
//
// Conventions: X east, Y north, bearings clockwise from north, heights up; angles are taken in
// the field file's unit and computed in radians; the standard deviations are the export's.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/ExportOptions.h"
#include "model/Tables.h"

namespace talvik {

enum class Severity { Error, Warning };

// What a finding says about one sight, where it says something about one: the quantity, and
// the station and target (for a pair measured both ways, the two points in either order).
// Position and height findings step aside where the adjustment judged the sight; a rule's
// finding and the adjustment's rejection of the same sight become one finding.
enum class Concern : std::uint8_t {
    Other,
    Position,   // the position a sight gives a point (a known or placed one, a fit)
    Height,     // the height a sight gives a point
    Direction,  // the readings of a direction (faces, rounds)
    Zenith,     // of a zenith angle, or a height difference made from them
    Distance,   // of a horizontal distance
};
struct About {
    Concern concern = Concern::Other;
    bool bothWays = false;   // a pair measured from either point
    bool rejection = false;  // the adjustment's
    std::uint32_t station = 0;
    std::uint32_t target = 0;
};

struct Finding {
    Finding() = default;
    Finding(Severity s, std::string t, std::vector<std::size_t> p, About a = {})
        : severity(s), text(std::move(t)), points(std::move(p)), about(a) {}

    Severity severity = Severity::Error;
    std::string text;                 // Dutch, naming the points and the numbers
    std::vector<std::size_t> points;  // indices into CheckReport::points
    About about;
};

enum class PointState : std::uint8_t { Known, Placed, NotPlaced };

struct CheckPoint {
    std::string name;  // trailing blanks removed
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    PointState state = PointState::NotPlaced;
    bool hasHeight = false;
    bool flagged = false;  // named by an error
    // Where the adjustment ran: the coordinates above are adjusted, with these deviations (m).
    bool adjusted = false;
    bool heightAdjusted = false;
    double sx = 0.0, sy = 0.0, sh = 0.0;
};

// A sight from a station to a target, as the sketch draws it.
struct CheckLine {
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    bool flagged = false;
};

struct CheckReport {
    // Findings beyond this many are counted, not kept: a network that is wrong throughout
    // (another file's names, say) would otherwise fill memory with texts nobody reads.
    static constexpr std::size_t kKept = 1000;

    std::vector<CheckPoint> points;
    std::vector<CheckLine> lines;
    std::vector<Finding> findings;
    std::size_t errorsLeftOut = 0;
    std::size_t warningsLeftOut = 0;
    std::vector<std::string> notes;  // the scales of the free set-ups
    std::size_t Errors() const;
    std::size_t Warnings() const;
    // The index of the point of that name (trailing blanks ignored); points.size() when none.
    std::size_t Find(std::string_view name) const;
};

// What the check takes from the export's choices: the standard deviations as numbers (a text
// that is not a number counts as its first-run default), the face-2 choice and the version.
struct CheckChoices {
    AngleUnit unit = AngleUnit::Gon;
    std::string codes = "999";  // the selection codes, ", " between them
    bool face2to1 = false;      // the export reduces face 2 (the check always does for itself)
    bool heights = true;        // heights are exported (version 3)
    double absHor = 0.003;      // gon
    double relHor = 0.0003;     // gon per km
    double absVer = 0.003;
    double relVer = 0.0003;
    double absDis = 0.002;  // m
    double relDis = 2.0;    // ppm
    double sdXY = 0.003;    // m
    double sdZ = 0.003;
    double sigmaCent = 0.003;
    double sigmaInst = 0.005;
};
CheckChoices ChoicesFrom(const ExportOptions& options, AngleUnit unit);

// A sight (station to target) whose readings of one quantity the adjustment tested.
struct JudgedSight {
    std::uint32_t station = 0, target = 0;
    Concern concern = Concern::Other;
    friend auto operator<=>(const JudgedSight&, const JudgedSight&) = default;
};

// Once the adjustment's rejections are in the report and its points say what it adjusted: each
// rejection joins the rules' findings of the same sight (same station, target and quantity;
// both ways either station) as one finding, the rules' words first. The adjustment's tests
// judge what they reach, so the other findings there are let go: the position and height
// rules' on sights whose two points it adjusted, and the pair rules' (faces, rounds, both
// ways) on sights it tested (`judged`; both ways: both sights). Findings of what the
// adjustment left out stay as they are.
void JoinAdjustment(CheckReport& report, std::vector<JudgedSight> judged = {});

// An angle of the field file in radians.
double AngleToRadians(double value, AngleUnit unit);

// Takes the observation records of one reading (it is the sink the reading hands them to, or the
// second half of a tee beside the export's writer) and combines them per set-up and target as
// they come, then checks them against the point table. The records must carry the entries the
// gathering found for their names.
class NetworkCheck final : public ObservationSink {
  public:
    // `choices.unit`: the unit of the file's angles, the one it ends with (the export finds it
    // before the first record).
    explicit NetworkCheck(const CheckChoices& choices);
    ~NetworkCheck() override;
    NetworkCheck(const NetworkCheck&) = delete;
    NetworkCheck& operator=(const NetworkCheck&) = delete;

    void Put(const ObservationRecord& record) override;
    void PutMany(std::span<const ObservationRecord> records) override;
    // No more records come. Adopt and Run say it themselves; a caller that runs the two on
    // threads of their own says it first.
    void EndOfRecords();
    // Takes from the table the reading left (sealed) what the check needs: the names and
    // coordinates of the points the records name, the field file's coordinate records and the
    // IDEX file's twins; entries 1 .. knownPoints came from the IDEX file. The table is not
    // read after this, so the caller may change it while Run runs.
    void Adopt(const PointTable& points, std::size_t knownPoints);
    // Checks, once; the combined readings are let go as they are used. Run may begin beside
    // Adopt: `adopted` returns once Adopt has finished (without it, Adopt came first). Run
    // beside a conversion that still holds its tables: `roomy` returns once it has let them go,
    // and the check's second largest store (the pairs of points) waits for it.
    CheckReport Run(const std::function<void()>& adopted = {},
                    const std::function<void()>& roomy = {});
    CheckReport Run(const PointTable& points, std::size_t knownPoints) {
        Adopt(points, knownPoints);
        return Run();
    }

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace talvik
