// The window colours of View > Theme: the desktop's own palette, or a light or a dark one.
#pragma once

#include "app/DataAcqApp.h"

namespace orvex {

// Gives the whole program the palette of `theme`. "System" restores the palette the program
// started with (the desktop's, or the one asked for with Qt's -style option).
void ApplyTheme(AppTheme theme);

}  // namespace orvex
