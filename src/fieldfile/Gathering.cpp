#include "fieldfile/Gathering.h"

#include <limits>
#include <utility>

#include "text/Text.h"

namespace talvik {

namespace {
constexpr std::int16_t kInt16Max = std::numeric_limits<std::int16_t>::max();
constexpr std::int16_t kInt16Min = std::numeric_limits<std::int16_t>::min();
}  // namespace

// ---- observation store ----

void SplitObservationStore::Append(const ObservationRecord& given) {
    ObservationRecord record = given;
    record.Line = line_;
    if (record.IsSetUp()) {
        // A new most recent station record: everything before it moves to the head.
        Flush();
        tail_.push_back(record);
    } else if (tail_.empty()) {
        sink_->Put(record);
    } else {
        tail_.push_back(record);
    }
}

void SplitObservationStore::PlaceFace2(const ObservationRecord& given, bool blockOpen) {
    ObservationRecord record = given;
    record.Line = line_;
    // The head ends right before the most recent station record tail_[0]. Opening a block
    // puts the station record in front of the face-2 observation; tail_[0] then serves as the
    // copy that opens the face-1 block again.
    if (!blockOpen) sink_->Put(tail_.front());
    sink_->Put(record);
}

void SplitObservationStore::Flush() {
    for (const ObservationRecord& record : tail_)
        sink_->Put(record);
    tail_.clear();
}

ObservationTable SplitObservationStore::Take() {
    Flush();
    ObservationTable table = std::move(table_.table);
    table_.table = ObservationTable{ObservationPlaceholder()};
    return table;
}

ObservationRecord ObservationPlaceholder() {
    ObservationRecord zero;
    zero.Station = Name9::Zeros();
    zero.Target = Name9::Zeros();
    return zero;
}

// ---- selection and face ----

bool IsFace2(double zenith) {
    return zenith > 200.0;
}

std::vector<std::string_view> SelectionEntries(const std::array<std::string, 17>& selCode) {
    std::vector<std::string_view> entries;
    for (std::size_t i = 1; i <= 16; ++i) {
        const std::string_view entry = TrimBlanks(selCode[i]);
        if (!entry.empty()) entries.push_back(entry);
    }
    return entries;
}

bool IsCodeSelected(std::string_view code, const std::vector<std::string_view>& entries) {
    if (!code.empty() && code.front() == '-') code.remove_prefix(1);
    for (const std::string_view entry : entries)
        if (code.starts_with(entry)) return true;
    return false;
}

bool IsCodeSelected(std::string_view code, const std::array<std::string, 17>& selCode) {
    return IsCodeSelected(code, SelectionEntries(selCode));
}

// ---- gathering ----

Gathering::Gathering(PointTable& points, const ExportOptions& options, const CoordinateFrame& frame,
                     ObservationStore& store, UserInterface& ui)
    : points_(points),
      options_(options),
      selection_(SelectionEntries(options.SelCode)),
      frame_(frame),
      store_(store),
      ui_(ui) {}

const std::string_view* Gathering::Field(std::size_t n) const {
    return n < words_->size() ? &(*words_)[n] : nullptr;
}

bool Gathering::NumberField(std::size_t n, double& value) const {
    const std::string_view* word = Field(n);
    if (word == nullptr) return false;
    value = NumericValue(*word);
    return true;
}

bool Gathering::Handle(RecordCode code, const std::vector<std::string_view>& words) {
    words_ = &words;
    switch (code) {
        case RecordCode::PointXYZ:
            PointWithCoordinates(true);
            break;
        case RecordCode::PointXY:
        case RecordCode::PointXYAlt:
            PointWithCoordinates(false);
            break;
        case RecordCode::PointHeight:
        case RecordCode::PointHeightAlt:
            PointHeight();
            break;
        case RecordCode::SetUp:
            SetUp();
            MarkStationUsed();
            break;
        case RecordCode::StationReference:
        case RecordCode::StationReferenceAlt:
            StationWithReference();
            break;
        case RecordCode::StationAzimuth:
        case RecordCode::StationAzimuthAlt:
            StationWithAzimuth();
            break;
        case RecordCode::TargetHeight:
            NumberField(2, targetHeight_);
            break;
        case RecordCode::DirectionZenithDistance:
            DirectionZenithDistance();
            break;
        case RecordCode::DirectionDistance:
            DirectionDistance();
            break;
        case RecordCode::RoundsStart:
            StartRounds();
            break;
        case RecordCode::RoundsEnd:
            EndRounds();
            break;
        default:
            words_ = nullptr;
            return false;
    }
    words_ = nullptr;
    return true;
}

std::uint32_t Gathering::MarkPointUsed(const Name9& name) {
    return points_.MarkUsed(name);
}

void Gathering::PointWithCoordinates(bool withHeight) {
    PointRecord point;
    if (const std::string_view* name = Field(2)) point.Name = *name;
    double a = 0.0;
    double b = 0.0;
    const bool hasA = NumberField(3, a);
    const bool hasB = NumberField(4, b);
    const double forX = frame_.reversed ? b : a;
    const double forY = frame_.reversed ? a : b;
    if (frame_.reversed ? hasB : hasA) point.X = forX * frame_.scale + frame_.xOffset;
    if (frame_.reversed ? hasA : hasB) point.Y = forY * frame_.scale + frame_.yOffset;
    double h = 0.0;
    if (withHeight && NumberField(5, h)) point.Z = h * frame_.scale + frame_.zOffset;
    point.IsUsed = true;
    point.HasCoordinates = true;
    points_.Append(point);
}

void Gathering::PointHeight() {
    const std::string_view* name = Field(2);
    if (name == nullptr) return;
    const std::size_t index = points_.FindFirst(*name);
    double h = 0.0;
    if (index != 0 && NumberField(3, h)) points_[index].Z = h * frame_.scale + frame_.zOffset;
}

void Gathering::SetUp() {
    if (const std::string_view* name = Field(2)) {
        station_ = *name;
        stationMarked_ = false;
    }
    NumberField(3, instrumentHeight_);
    NumberField(4, targetHeight_);
}

ObservationRecord Gathering::SetUpToTarget() {
    SetUp();
    ObservationRecord record;
    record.Station = station_;
    if (const std::string_view* target = Field(5)) record.Target = *target;
    record.InstrumentHeight = instrumentHeight_;
    record.TargetHeight = targetHeight_;
    return record;
}

std::uint32_t Gathering::MarkStationUsed() {
    // Marking a name again changes nothing: its first entry stays the first.
    if (!stationMarked_) stationEntry_ = MarkPointUsed(station_);
    stationMarked_ = true;
    return stationEntry_;
}

// The names are marked before the record goes to the store, which may hand it on at once.
void Gathering::MarkSetUpUsed(ObservationRecord& record) {
    record.StationEntry = MarkStationUsed();
    if (const std::string_view* target = Field(5)) record.TargetEntry = MarkPointUsed(*target);
}

void Gathering::StationWithReference() {
    ObservationRecord record = SetUpToTarget();
    NumberField(6, record.Direction);
    record.MakeSetUp();
    MarkSetUpUsed(record);
    store_.Append(record);
    face2BlockOpen_ = false;
}

void Gathering::StationWithAzimuth() {
    ObservationRecord record = SetUpToTarget();
    NumberField(6, record.Azimuth);
    NumberField(7, record.Direction);
    MarkSetUpUsed(record);
    store_.Append(record);
}

bool Gathering::Selected() const {
    const std::string_view* code = Field(6);
    return code == nullptr || IsCodeSelected(*code, selection_);
}

void Gathering::AppendStationRecord(const Name9& target, double direction) {
    ObservationRecord record;
    record.Station = station_;
    record.Target = target;
    record.InstrumentHeight = instrumentHeight_;
    record.TargetHeight = targetHeight_;
    record.Direction = direction;
    record.StationEntry = stationMarked_ ? stationEntry_ : 0;
    record.MakeSetUp();
    store_.Append(record);
    face2BlockOpen_ = false;
}

bool Gathering::BeginObservation(Name9& target) {
    const std::string_view* field2 = Field(2);
    if (field2 != nullptr) target = *field2;
    KeepRounds(target, field2 != nullptr);
    return Selected();
}

void Gathering::DirectionZenithDistance() {
    Name9 target;
    if (!BeginObservation(target)) return;
    const bool hasTarget = Field(2) != nullptr;

    working_.Station = station_;
    working_.StationEntry = MarkStationUsed();
    if (hasTarget) {
        working_.Target = target;
        working_.TargetEntry = MarkPointUsed(target);
    }
    working_.InstrumentHeight = instrumentHeight_;
    working_.TargetHeight = targetHeight_;
    NumberField(3, working_.Direction);
    NumberField(4, working_.Zenith);
    NumberField(5, working_.Distance);

    if (IsFace2(working_.Zenith) && options_.Face2to1) {
        working_.Direction += working_.Direction < 200.0 ? 200.0 : -200.0;
        working_.Zenith = 400.0 - working_.Zenith;
    }
    // A face-2 reading before any station record has no block to join; it stays as read.
    if (IsFace2(working_.Zenith) && store_.HasStationRecord()) {
        store_.PlaceFace2(working_, face2BlockOpen_);
        face2BlockOpen_ = true;
    } else {
        store_.Append(working_);
    }
}

void Gathering::DirectionDistance() {
    Name9 target;
    if (!BeginObservation(target)) return;
    const bool hasTarget = Field(2) != nullptr;

    ObservationRecord record;
    record.Station = station_;
    record.StationEntry = MarkStationUsed();
    if (hasTarget) {
        record.Target = target;
        record.TargetEntry = MarkPointUsed(target);
    }
    record.InstrumentHeight = instrumentHeight_;
    record.TargetHeight = targetHeight_;
    NumberField(3, record.Direction);
    NumberField(4, record.Distance2);
    store_.Append(record);
}

void Gathering::KeepRounds(Name9& target, bool hasTarget) {
    // Without a name list (no record 160 could make one) the set only counts observations.
    if (rounds_ != 0) {
        if (observed_ < kInt16Max) ++observed_;
        if (hasRoundList_ && collected_ < lastPosition_) {
            // First round: the names are taken as they stand in the file.
            ++collected_;
            position_ = collected_;
            if (hasTarget) {
                const auto at = static_cast<std::size_t>(position_);
                if (roundNames_.size() <= at) roundNames_.resize(at + 1);
                roundNames_[at] = target;
            }
            step_ = 0;
        } else if (hasRoundList_) {
            // Later rounds run back and forth over the names of the first one.
            if (hasTarget && position_ >= 0 && position_ <= lastPosition_) {
                const auto at = static_cast<std::size_t>(position_);
                target = at < roundNames_.size() ? roundNames_[at] : Name9();
            }
            if (step_ == 0)
                step_ = position_ == 1 ? 1 : -1;
            else if (position_ == 1 || position_ == collected_)
                step_ = 0;
            const int next = position_ + step_;
            if (next >= kInt16Min && next <= kInt16Max) position_ = static_cast<std::int16_t>(next);
        }
    }
    // Every backwards round opens a direction set of its own.
    if (step_ == -1 && previousStep_ == 0) AppendStationRecord("0", 0.0);
    previousStep_ = step_;
}

void Gathering::StartRounds() {
    ++counts_.roundSets;
    double names = 0.0;
    if (NumberField(2, names)) {
        const auto last = RoundToInt16(names + 1.0);
        if (last && *last >= -1) {
            hasRoundList_ = true;
            lastPosition_ = *last;
            roundNames_.clear();
        }
    }
    double rounds = 0.0;
    if (NumberField(3, rounds)) {
        if (const auto r = RoundToInt16(rounds)) rounds_ = *r;
    }
    collected_ = 0;
    observed_ = 0;
    position_ = 0;
}

void Gathering::EndRounds() {
    if (hasRoundList_) {
        const long expected = static_cast<long>(rounds_) * lastPosition_;
        if (collected_ != lastPosition_ || observed_ != expected) {
            std::string text(kRoundMismatchText);
            text += station_;
            Inform(ui_, text);
            ++counts_.mismatches;
        }
    }
    rounds_ = 0;
}

}  // namespace talvik
