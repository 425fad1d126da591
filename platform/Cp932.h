// Conversion between UTF-16 and code page 932 (the Microsoft table), independent of the locale.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// Bytes that do not decode become U+FFFD, one per undecodable byte; never fails.
std::u16string cp932_to_utf16(std::string_view bytes);
// Characters without a code page 932 form become "?"; never fails.
std::string utf16_to_cp932(std::u16string_view text);

// Unpaired surrogates become U+FFFD, bytes that are not UTF-8 U+FFFD each; never fails.
std::string utf16_to_utf8(std::u16string_view text);
std::u16string utf8_to_utf16(std::string_view text);

// File names: UTF-8 where the bytes are UTF-8; every other byte is kept as U+DC00 + byte, and so is the
// trail byte of a Shift_JIS pair, which may be 0x5C ("\"), so that it never reads as a separator.
// path_to_bytes(path_from_bytes(b)) == b for any bytes b.
std::string path_to_bytes(std::u16string_view path);
std::u16string path_from_bytes(std::string_view bytes);
// True for the characters path_from_bytes uses for bytes it keeps.
inline bool is_path_byte_escape(char16_t c) { return c >= 0xDC00 && c <= 0xDCFF; }

} // namespace platform
