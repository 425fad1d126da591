// Storage and start values of the driver's own settings.
#include "app/UnitVal_driver.h"

int gBackColorNo = 0;
int gColorMode = 2;
int gLtypeMode = 2;
double gLtypeUnit = 0.035;
int gPrt300Dpi = 0;
int gJwcColorReset = 1;
int gJwsColorReset = 1;
int gJwcLtypeReset = 1;
int gJwsLtypeReset = 1;

std::u16string gRefFileName;

std::u16string gAppPath;
