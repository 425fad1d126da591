// Process-wide globals that the renderers and readers read: view, extents, text-variable sources, run folder.
// The driver writes them; its own settings stay in app/UnitVal_driver.h.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "util/Types.h"

class TgraAttribute;
class TGraph;
class TGraph2;

// View and extents, written by the driver and the documents, read by the renderers.
extern double gDispWidth;
extern double gDispHeight;
extern double gDispScale;
extern double gDispX1;
extern double gDispY1;
extern double gDispX2;
extern double gDispY2;
extern double gMinX;
extern double gMinY;
extern double gMaxX;
extern double gMaxY;

extern TgraAttribute* gGraAtt;
extern TGraph* gGraph;
extern TGraph2* gGraph2;

// Sources of the text variables.
extern std::u16string gFilePath;
extern std::u16string gDrawTitle;
extern std::u16string gDrawTime;
extern std::u16string gMemo1;
extern std::u16string gMemo2;
extern TDateTime gFileDate;
extern double gLayerScale;
extern double gPrtBairitsu;

// Values of the "%%" text variables, read from the reference file.
extern std::vector<TStr2List> gRefList;
extern int gRefCount;

// This run's private folder for extracted and copied images, with trailing separator; empty until made.
extern std::u16string gRunTempFolder;
