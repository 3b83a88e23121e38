#pragma once
// Ids of the program's resources (shared by the resource script and the code).

#define TALVIK_ICON_ID 1

#ifdef __cplusplus
namespace talvik::win32 {
inline constexpr int kIconId = TALVIK_ICON_ID;
}
#endif
