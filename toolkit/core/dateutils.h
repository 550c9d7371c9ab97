// Dates as the platform keeps them: a day count in a double, day 0 being 30 December 1899
// (1 January 1900 is day 2). Only the whole part is a date; the fraction is the time of day.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mirnax {

using TDateTime = double;

// Raises EConvertError "Invalid argument to date encode" unless 1 <= year <= 9999,
// 1 <= month <= 12 and 1 <= day <= the month's length.
TDateTime EncodeDate(uint16_t year, uint16_t month, uint16_t day);
bool TryEncodeDate(uint16_t year, uint16_t month, uint16_t day, TDateTime& date);
// The date part of date (times before midnight of day 0 count back into the previous day).
void DecodeDate(TDateTime date, uint16_t& year, uint16_t& month, uint16_t& day);

// Today in local time, without the time of day.
TDateTime Date();
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime date);

bool IsLeapYear(int year);
// month must be 1..12.
int DaysInMonth(int year, int month);

// The current locale's abbreviated weekday names, Sunday first.
std::array<std::string, 7> ShortDayNames();

}  // namespace mirnax
