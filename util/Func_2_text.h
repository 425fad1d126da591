// Func_2: text routines.
#pragma once
