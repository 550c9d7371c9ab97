// TCCalendar: a month calendar drawn as a 7 x 7 grid, a header row of weekday names over up to
// six week rows of day numbers. It holds one date; clicking a day makes it the held date.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "mirnax/mirnax_export.h"
#include "toolkit/core/dateutils.h"
#include "toolkit/widgets/grids.h"

namespace mirnax {

/// A month calendar on a grid: a header row of weekday names and six rows of days.
class MIRNAX_EXPORT TCCalendar : public TCustomGrid {
  Q_OBJECT
  Q_PROPERTY(int Day READ Day WRITE SetDay)
  Q_PROPERTY(int Month READ Month WRITE SetMonth)
  Q_PROPERTY(int Year READ Year WRITE SetYear)
  Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
  Q_PROPERTY(int StartOfWeek READ StartOfWeek WRITE SetStartOfWeek)
  Q_PROPERTY(bool UseCurrentDate READ UseCurrentDate WRITE SetUseCurrentDate)
  Q_PROPERTY(double CalendarDate READ CalendarDate WRITE SeTCCalendarDate)

 public:
  /// Today's month, weeks starting on Monday, today's cell current.
  explicit TCCalendar(QWidget* parent = nullptr);

  TDateTime CalendarDate() const { return dateValue_; }  ///< The held date.
  /// Sets the held date: stores it, lays the month out and fires OnChange; UseCurrentDate keeps its value.
  void SeTCCalendarDate(TDateTime date);
  /// Whether the held date needs saving: only when it does not follow today.
  bool StoreCalendarDate() const { return !useCurrentDate_; }

  /// 1 year, 2 month, 3 day of the held date; -1 for any other index.
  int GetDateElement(int index) const;
  /// Sets element index (1 year, 2 month, 3 day) of the held date. Values of 0 or less, a month
  /// above 12 and a day beyond the month are ignored. A change that makes no valid date raises
  /// EConvertError and leaves everything as it was.
  void SetDateElement(int index, int value);
  int Day() const { return GetDateElement(3); }  ///< The held date's day of the month.
  int Month() const { return GetDateElement(2); }  ///< The held date's month, 1..12.
  int Year() const { return GetDateElement(1); }  ///< The held date's year.
  void SetDay(int value) { SetDateElement(3, value); }  ///< Sets the day, as SetDateElement(3, value).
  void SetMonth(int value) { SetDateElement(2, value); }  ///< Sets the month, as SetDateElement(2, value).
  void SetYear(int value) { SetDateElement(1, value); }  ///< Sets the year, as SetDateElement(1, value).

  bool ReadOnly() const { return readOnly_; }  ///< Whether clicks and keys leave the date alone.
  void SetReadOnly(bool value) { readOnly_ = value; }  ///< Sets ReadOnly.
  int StartOfWeek() const { return startOfWeek_; }  ///< The first day of the week: 1 = Monday ... 7 = Sunday.
  /// Sets StartOfWeek: 1 = Monday ... 7 = Sunday; other values become 1.
  void SetStartOfWeek(int value);
  bool UseCurrentDate() const { return useCurrentDate_; }  ///< Whether the held date follows today's.
  /// Sets UseCurrentDate; turning it on reloads today's date; no OnChange either way.
  void SetUseCurrentDate(bool value);
  // The published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does.
  void setDay(int value) { SetDay(value); }                         ///< Sets Day, as SetDay.
  void setMonth(int value) { SetMonth(value); }                     ///< Sets Month, as SetMonth.
  void setYear(int value) { SetYear(value); }                       ///< Sets Year, as SetYear.
  void setReadOnly(bool value) { SetReadOnly(value); }              ///< Sets ReadOnly, as SetReadOnly.
  void setStartOfWeek(int value) { SetStartOfWeek(value); }         ///< Sets StartOfWeek, as SetStartOfWeek.
  void setUseCurrentDate(bool value) { SetUseCurrentDate(value); }  ///< Sets UseCurrentDate, as SetUseCurrentDate.
  void setCalendarDate(double value) { SeTCCalendarDate(value); }   ///< Sets CalendarDate, as SeTCCalendarDate.
  /// Day number shown in the first column of the first week row (1 .. -5).
  int32_t FirstDayOffset() const { return firstDayOffset_; }

  /// The header's weekday name, a day number, or "" outside the month.
  std::string GetCellText(int col, int row) const;

  virtual int DaysPerMonth(int year, int month) const;  ///< The number of days of a month, 28..31.
  virtual bool IsLeapYear(int year) const;  ///< Whether a year of the Gregorian calendar has a 29 February.
  virtual int DaysThisMonth() const;  ///< The number of days of the held date's month.
  /// The month lays out anew around the held date, whose cell becomes current.
  virtual void UpdateCalendar();

  /// Moves the held date by delta months; the day is kept, clamped to the new month's length.
  void ChangeMonth(int delta);
  void NextMonth() { ChangeMonth(1); }  ///< The next month, the day kept as ChangeMonth keeps it.
  void PrevMonth() { ChangeMonth(-1); }  ///< The previous month, the day kept as ChangeMonth keeps it.
  /// One year on; 29 February first steps back to the 28th.
  void NextYear();
  void PrevYear();  ///< One year back, as NextYear goes forward.

  std::function<void(TCCalendar* sender)> OnChange;  ///< Called after the held date changed.

 protected:
  virtual void Change();
  void DrawCell(QPainter& canvas, int col, int row, const QRect& rect, TGridDrawState state) override;
  bool SelectCell(int col, int row) override;
  void Click() override;
  void WMSize(int width, int height) override;

 private:
  MIRNAX_NO_EXPORT void StepYear(int delta);

  TDateTime dateValue_ = 0;
  int32_t firstDayOffset_ = 0;
  bool readOnly_ = false;
  int16_t startOfWeek_ = 0;
  bool inUpdate_ = false;
  bool useCurrentDate_ = true;
};

namespace ccalendar {
/// Adds TCCalendar to the component palette, page "Samples".
MIRNAX_EXPORT void Register();
}  // namespace ccalendar

}  // namespace mirnax
