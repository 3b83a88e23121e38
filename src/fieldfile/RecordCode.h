#pragma once
// The record codes of the field file: word 1 of a line, a whole number from 1 to 999. Codes not
// named here carry nothing this program uses; 107, 108, 117 and 118 are second codes of 102,
// 103, 62 and 63 and handled the same way.

namespace talvik {

enum class RecordCode {
    None = 0,                // no record code on the line
    CoordinateOrder = 21,    // XY or YX: the order of coordinate pairs that follow
    Scale = 22,              // scale of the coordinates and heights that follow
    Offsets = 23,            // offsets added to them, X Y Z in the order in force
    AngleUnit = 51,          // DM, DD or GR
    DistanceUnit = 53,       // M, F or anything else
    PointXYZ = 61,           // name, coordinate pair, height
    PointXY = 62,            // name, coordinate pair
    PointHeight = 63,        // name, height of a point listed before
    SetUp = 101,             // station, instrument height, target height
    StationReference = 102,  // set-up, reference target and its direction
    StationAzimuth = 103,    // set-up, target, azimuth and direction
    TargetHeight = 105,      // target height from here on
    StationReferenceAlt = 107,
    StationAzimuthAlt = 108,
    DirectionZenithDistance = 111,  // target, direction, zenith angle, distance, code
    DirectionDistance = 112,        // target, direction, distance, -, code
    PointXYAlt = 117,
    PointHeightAlt = 118,
    RoundsStart = 160,  // number of targets in a round, number of rounds
    RoundsEnd = 161,
};

}  // namespace talvik
