// Text decoding of the M7 bounded reader.
#include "formats/m7/M7Reader.h"

#include <string_view>

#include "platform/Cp932.h"

namespace detail {

std::u16string M7Reader::decode(std::span<const uint8_t> b)
{
    size_t n = 0;
    while (n < b.size() && b[n] != 0)
        ++n;
    return platform::cp932_to_utf16(std::string_view(reinterpret_cast<const char*>(b.data()), n));
}

} // namespace detail
