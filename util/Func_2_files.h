// Func_2: paths, files, folders, image files from memory, and dates with their Japanese era.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "util/Types.h"

// Paths are UTF-16. Paths from drawings and settings are Windows paths, so every routine here treats
// "\" and "/" alike as separators; file-system routines turn "\" into "/" before touching the disk,
// and treat paths with a drive letter ("C:...") or a UNC share ("\\server") as not existing.
inline constexpr char16_t PathDelim = u'/';

// path plus a separator unless it already ends in "\" or "/"; "" gives the single separator.
std::u16string AddPathDelim(const std::u16string& path);
// Folder part with a trailing separator ("/" for a bare name); "" for an invalid path
// (empty, only blanks, holding NUL or a lone surrogate, PATH_MAX bytes or more as UTF-8).
std::u16string ExtractFolder(const std::u16string& path);
// File-name part; "" for an invalid path.
std::u16string ExtractName(const std::u16string& path);
// path with its extension replaced by ext ("" removes it; a "." is put before an ext lacking one);
// "" for an invalid path.
std::u16string ChangeExt(const std::u16string& path, const std::u16string& ext);
// Splits path into names[0..maxIndex] (names grows to maxIndex + 1 when shorter); returns the last index.
// A doubled separator counts once; the last slot collects what follows the overflow.
int SplitPathNames(const std::u16string& path, std::vector<std::u16string>& names, int maxIndex);

bool IsFile(const std::u16string& path);
bool IsFolder(const std::u16string& path);
bool MakeFolder(const std::u16string& path);
bool EraseFile(const std::u16string& path);
// Removes an empty folder only.
bool EraseFolder(const std::u16string& path);
// Copies src to dst through a temporary file in dst's folder, renamed into place on success; on failure
// no file is left at dst (an older one is removed). Refuses, touching nothing, a dst whose last name is
// not a plain file name (empty, ".", "..", a drive prefix) or which holds a ".." component.
// Returns true on success (callers may ignore it).
bool CopyFileData(const std::u16string& src, const std::u16string& dst);
// Writes the first size bytes of data to base + the extension of kind (1 ".JPG", 2 ".PNG", 10 ".GIF",
// 11 ".TIF", 12 ".BMP"); name := the file written, or "" on failure, on any other kind, when size is
// negative or larger than data, or when base holds ".." or has no stem. Nothing is left behind on failure.
bool WriteImageFile(
    int kind, int64_t size, const std::u16string& base, std::span<const uint8_t> data, std::u16string& name);

// Western year and Japanese era of date, as decimal texts; era texts are empty before 1868-10-23.
void GetEraYear(TDateTime date, std::u16string& yearText, std::u16string& eraName, std::u16string& eraYear,
    std::u16string& finalEraYear, std::u16string& finalEraName);

namespace detail {

// folder + the actual name of a regular file in folder whose name equals name without regard to
// case (ASCII and Unicode simple case folding), or "" when there is none. folder may lack its separator.
std::u16string find_file_ignoring_case(const std::u16string& folder, const std::u16string& name);

// Turns "\" into "/" and encodes as UTF-8, for handing a path to the file system.
std::string native_path(const std::u16string& path);

// Exact civil-date arithmetic on TDateTime (days since 1899-12-30, time as fraction); no time zone.
struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int day_of_week = 7; // 1 Sunday .. 7 Saturday
};
TDateTime make_date(int year, int month, int day);
TDateTime make_date_time(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);
// Rounds to the nearest millisecond before splitting; dates before 1899-12-30 keep their time of day
// in the fraction's magnitude, as the platform counts them.
DateTimeParts split_date_time(TDateTime t);
// Seconds since 1970-01-01 00:00 (no zone applied) as a TDateTime.
TDateTime date_time_from_unix(int64_t seconds);

} // namespace detail
