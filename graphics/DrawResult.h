// The result codes of the world (GL) drawing operations of both renderers.
#pragma once

namespace detail {

enum DrawResult : int { Drawn = 0, Outside = 1, TooSmall = 2, NothingToDraw = 3 };

} // namespace detail
