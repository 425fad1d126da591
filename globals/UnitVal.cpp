// Storage and start values of the globals the lower layers read.
#include "globals/UnitVal.h"

double gDispWidth = 100;
double gDispHeight = 100;
double gDispScale = 1;
double gDispX1 = 0;
double gDispY1 = 0;
double gDispX2 = 100;
double gDispY2 = 100;
double gMinX = 0;
double gMinY = 0;
double gMaxX = 400;
double gMaxY = 400;

TgraAttribute* gGraAtt = nullptr;
TGraph* gGraph = nullptr;
TGraph2* gGraph2 = nullptr;

std::u16string gFilePath;
std::u16string gDrawTitle;
std::u16string gDrawTime;
std::u16string gMemo1;
std::u16string gMemo2;
TDateTime gFileDate = 0;
double gLayerScale = 1;
double gPrtBairitsu = 1;

std::vector<TStr2List> gRefList;
int gRefCount = 0;

std::u16string gRunTempFolder;
