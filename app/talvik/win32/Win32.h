#pragma once
// The Windows headers as these windows use them: without the min/max macros, and without the
// Yield macro of old, which would hide UserInterface::Yield.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
#undef Yield
