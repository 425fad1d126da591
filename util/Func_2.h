// The shared utility routines: text and numbers, geometry, paths, files and dates.
#pragma once
#include "util/Func_2_files.h"
#include "util/Func_2_geometry.h"
#include "util/Func_2_text.h"
