// Conversion between UTF-16 and code page 932 (the Microsoft table), independent of the locale.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// Bytes that do not decode become U+FFFD, one per undecodable byte; never fails.
std::u16string cp932_to_utf16(std::string_view bytes);
// Characters without a code page 932 form become "?"; never fails.
std::string utf16_to_cp932(std::u16string_view text);

std::string utf16_to_utf8(std::u16string_view text);
std::u16string utf8_to_utf16(std::string_view text);

} // namespace platform
