#include "toolkit/core/dateutils.h"

#include <langinfo.h>

#include <cmath>
#include <ctime>

#include "toolkit/core/exceptions.h"

namespace mirnax {

namespace {

// Days from 1 January of year 1 to day 0 (30 December 1899).
constexpr int64_t kDayZero = 693593;

int64_t DaysBeforeYear(int64_t year) {
  const int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(uint16_t year, uint16_t month, uint16_t day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  int64_t days = DaysBeforeYear(year);
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day - 1;
  date = static_cast<TDateTime>(days - kDayZero);
  return true;
}

TDateTime EncodeDate(uint16_t year, uint16_t month, uint16_t day) {
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError(ExceptionText(SDateEncodeError));
  return date;
}

void DecodeDate(TDateTime date, uint16_t& year, uint16_t& month, uint16_t& day) {
  int64_t days = static_cast<int64_t>(std::floor(date)) + kDayZero;  // days since 1 January of year 1
  if (days < 0) {
    year = month = day = 0;
    return;
  }
  // Whole 400-, 100-, 4- and 1-year cycles, the 100- and 1-year ones capped at their last day.
  int64_t y = 1;
  y += days / 146097 * 400;
  days %= 146097;
  int64_t c = days / 36524;
  if (c == 4) c = 3;
  y += c * 100;
  days -= c * 36524;
  y += days / 1461 * 4;
  days %= 1461;
  int64_t n = days / 365;
  if (n == 4) n = 3;
  y += n;
  days -= n * 365;
  int m = 1;
  while (days >= DaysInMonth(static_cast<int>(y), m)) days -= DaysInMonth(static_cast<int>(y), m++);
  year = static_cast<uint16_t>(y);
  month = static_cast<uint16_t>(m);
  day = static_cast<uint16_t>(days + 1);
}

TDateTime Date() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeDate(static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
                    static_cast<uint16_t>(local.tm_mday));
}

int DayOfWeek(TDateTime date) {
  // Day 0 was a Saturday.
  const int64_t d = static_cast<int64_t>(std::floor(date));
  return static_cast<int>(((d + 6) % 7 + 7) % 7) + 1;
}

std::array<std::string, 7> ShortDayNames() {
  std::array<std::string, 7> names;
  for (int i = 0; i < 7; ++i) names[i] = nl_langinfo(static_cast<nl_item>(ABDAY_1 + i));
  return names;
}

}  // namespace mirnax
