// Func_2: geometry routines.
#pragma once
