#pragma once
// Reads the POINTS table of an IDEX file into the point table (emptied first).

#include <string>

#include "fieldfile/Tables.h"
#include "platform/UserInterface.h"

namespace talvik {

void ReadIdexFile(const std::string& path, PointTable& points, UserInterface& ui);

}  // namespace talvik
