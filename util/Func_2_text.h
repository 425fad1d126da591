// Func_2: numbers as text, characters and code page 932, string cutting, colours and the settings parsers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/Types.h"

// None of these routines raises or depends on the locale, the time zone or the current directory.
// Strings are UTF-16; "ANSI" bytes are code page 932. Indexes are 0-based.

// ---- Settings parsers: the whole text must be one number, else 0.
// Leading U+0020 blanks, optional sign, decimal or hex after "$", "x", "X", "0x", "0X"; 32-bit range.
int32_t StrToIntZero(std::u16string_view s);
// Leading U+0020 blanks, optional sign, digits, optional "." fraction, optional exponent; no grouping.
double StrToFloatZero(std::u16string_view s);
// True for "T", "TR", "TRU", "TRUE", "1", "１", "○", "ON", "真", "正" after upper-casing.
bool StrToBoolWord(std::u16string_view s);

// ---- Numbers.
std::u16string IntToText(int64_t n);
// `digits` decimals with "." as the point; digits below 0 count as 0, above 18 as 18.
std::u16string FormatFixedF(int digits, double v);
// As FormatFixedF, with "," between groups of three integer digits.
std::u16string FormatFixedN(int digits, double v);
bool IsFiniteDouble(double v);
// mode 0 truncates, 1 rounds up (tolerance 1e-10), other modes round halves away from zero;
// digits 1 to 9 are decimals, any other value rounds to whole numbers.
double RoundDigit(double v, int digits, int mode);
// Shortest decimal form with at most 15 significant digits, exponent form beyond that ("0.5", "1E20",
// "1E-6").
std::u16string float_to_general_text(double v);

// ---- Characters and strings.
// Simple one-to-one Unicode case mapping (full-width Latin letters included); the length never changes.
std::u16string UpperText(std::u16string_view s);
std::u16string LowerText(std::u16string_view s);
// U+0020..U+007E or U+FF61..U+FF9F.
bool IsHalfWidth(char16_t c);
// The character takes two bytes in code page 932.
bool IsDoubleByte(char16_t c);
// -1 outside s; 1 for a high surrogate at i, 2 for a low surrogate, 0 otherwise.
int SurrogateKind(std::u16string_view s, std::ptrdiff_t i);
// Half-width ASCII and katakana to their full-width forms; voiced katakana pairs join into one character.
std::u16string ToFullWidth(std::u16string_view s);
// Without U+0020, U+3000 and characters below U+0020.
std::u16string RemoveBlanks(std::u16string_view s);
// Without characters below U+0020.
std::u16string RemoveCtrlChars(std::u16string_view s);
// Index of the first occurrence of sub in s, -1 when absent (an empty sub is absent).
std::ptrdiff_t PosIndex(std::u16string_view sub, std::u16string_view s);
// From index i to the end; empty for i outside s.
std::u16string CopyFrom(std::u16string_view s, std::ptrdiff_t i);
// At most n characters from index i; empty for i outside s or n <= 0.
std::u16string CopyPart(std::u16string_view s, std::ptrdiff_t i, std::ptrdiff_t n);

// ---- Code page 932.
// Characters the code page lacks become "?".
std::string TextToAnsiBytes(std::u16string_view s);
// Cut at the first NUL byte; undecodable bytes become U+FFFD.
std::u16string AnsiBytesToText(std::string_view b);
// UTF-16 little-endian, cut at the first NUL character; an odd last byte is ignored.
std::u16string WideBytesToText(std::string_view b);
// Code page 932 bytes of s up to its first NUL character.
int AnsiLength(std::u16string_view s);

// ---- Measure: w per double-byte character, w/2 per single byte, gap (gap/2) between characters.
double AnsiTextWidth(std::u16string_view s, double w, double gap);

// ---- Colours: 0xAARRGGBB results, computed modulo 2^32.
uint32_t RGBToAlpha(int64_t r, int64_t g, int64_t b);
// Windows 0x00BBGGRR to opaque 0xFFRRGGBB; negative values keep the signed div/mod of the drawings' platform.
uint32_t ColorRefToAlpha(int32_t c);

// ---- Image reference "^@BM<name>,<width>[,height,trimX,trimY,ratio,angle,rest1,rest2,rest3]".
// True for a simple reference (at most two fields) or no reference, false for a full one.
bool ParseImageMoji(std::u16string_view s, std::u16string& name, double& width, double& height, double& trimX,
    double& trimY, double& ratio, double& angle, int32_t& rest1, int32_t& rest2, int32_t& rest3);

// ---- Dimension value inside a transformed block (implemented in Func_2_sunpo.cpp).
// F is the format word, S the marker word, ratio the layer-group scale; the block transform maps
// (x, y) to ((bx + b1 x + b2 y) / sc, (by + b3 x + b4 y) / sc); p1, p2 are the dimension line's ends.
std::u16string SunpoText(int32_t F, int32_t S, double ratio, double bx, double by, double b1, double b2, double b3,
    double b4, double sc, TDPoint p1, TDPoint p2);
