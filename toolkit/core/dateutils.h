// Dates as the platform keeps them: a day count in a double, day 0 being 30 December 1899
// (1 January 1900 is day 2). Only the whole part is a date; the fraction is the time of day.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "mirnax/mirnax_export.h"

namespace mirnax {

using TDateTime = double;  ///< A date as days since 30 December 1899, the time of day as the fraction.

/// Raises EConvertError "Invalid argument to date encode" unless 1 <= year <= 9999,
/// 1 <= month <= 12 and 1 <= day <= the month's length.
MIRNAX_EXPORT TDateTime EncodeDate(uint16_t year, uint16_t month, uint16_t day);
/// EncodeDate without the exception: false when the date does not exist.
MIRNAX_EXPORT bool TryEncodeDate(uint16_t year, uint16_t month, uint16_t day, TDateTime& date);
/// The date part of date (times before midnight of day 0 count back into the previous day).
MIRNAX_EXPORT void DecodeDate(TDateTime date, uint16_t& year, uint16_t& month, uint16_t& day);

/// Today in local time, without the time of day.
MIRNAX_EXPORT TDateTime Date();
/// 1 = Sunday ... 7 = Saturday.
MIRNAX_EXPORT int DayOfWeek(TDateTime date);

MIRNAX_EXPORT bool IsLeapYear(int year);  ///< Whether a year of the Gregorian calendar has a 29 February.
/// month must be 1..12.
MIRNAX_EXPORT int DaysInMonth(int year, int month);

/// The current locale's abbreviated weekday names, Sunday first.
MIRNAX_EXPORT std::array<std::string, 7> ShortDayNames();

}  // namespace mirnax
