#pragma once
// The rules' tests take the network generator under their own namespace.

#include "check/NetworkGenerator.h"

namespace talvik::observed {
using namespace talvik::testing;
}  // namespace talvik::observed
