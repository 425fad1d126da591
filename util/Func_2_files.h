// Func_2: files routines.
#pragma once
