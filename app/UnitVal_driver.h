// The driver's own settings: fixed modes of this program and the reference file's name, read by app/ only.
#pragma once
#include <string>

#include "globals/UnitVal.h"

// Fixed modes of this program.
extern int gBackColorNo;
extern int gColorMode;
extern int gLtypeMode;
extern double gLtypeUnit;
extern int gPrt300Dpi;
extern int gJwcColorReset;
extern int gJwsColorReset;
extern int gJwcLtypeReset;
extern int gJwsLtypeReset;

// Reference file of the "%%" text variables.
extern std::u16string gRefFileName;

// Folder of the executable, with trailing separator; set at start-up.
extern std::u16string gAppPath;
