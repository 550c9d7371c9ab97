#include "controls/samples/ccalendar.h"

#include <QPainter>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/palette.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

TCCalendar::TCCalendar(QWidget* parent) : TCustomGrid(parent) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetColCount(7);
  SetRowCount(7);
  SetStartOfWeek(1);
  SetScrollBars(ssNone);
  dateValue_ = Date();
  SetOptions((Options() & ~goRangeSelect) | goDrawFocusSelected);
  UpdateCalendar();
}

bool TCCalendar::IsLeapYear(int year) const { return mirnax::IsLeapYear(year); }

int TCCalendar::DaysPerMonth(int year, int month) const { return DaysInMonth(year, month); }

int TCCalendar::DaysThisMonth() const { return DaysPerMonth(Year(), Month()); }

int TCCalendar::GetDateElement(int index) const {
  uint16_t y = 0, m = 0, d = 0;
  DecodeDate(dateValue_, y, m, d);
  switch (index) {
    case 1: return y;
    case 2: return m;
    case 3: return d;
    default: return -1;
  }
}

void TCCalendar::SetDateElement(int index, int value) {
  if (value <= 0) return;
  uint16_t y = 0, m = 0, d = 0;
  DecodeDate(dateValue_, y, m, d);
  bool changed = false;
  auto set = [&](uint16_t& part) {
    if (part != value) {
      part = static_cast<uint16_t>(value);
      changed = true;
    }
  };
  switch (index) {
    case 1:
      // The year is kept in 16 bits: one beyond the encodable range must not wrap into it.
      if (value > 9999) throw EConvertError(ExceptionText(SDateEncodeError));
      set(y);
      break;
    case 2:
      if (value <= 12) set(m);
      break;
    case 3:
      if (value <= DaysThisMonth()) set(d);
      break;
    default: break;
  }
  if (!changed) return;
  dateValue_ = EncodeDate(y, m, d);  // raises before anything changed when there is no such date
  useCurrentDate_ = false;
  UpdateCalendar();
  Change();
}

void TCCalendar::SeTCCalendarDate(TDateTime date) {
  dateValue_ = date;
  UpdateCalendar();
  Change();
}

void TCCalendar::SetStartOfWeek(int value) {
  if (value < 1 || value > 7) value = 1;
  if (value == startOfWeek_) return;
  startOfWeek_ = static_cast<int16_t>(value);
  UpdateCalendar();
}

void TCCalendar::SetUseCurrentDate(bool value) {
  if (value == useCurrentDate_) return;
  useCurrentDate_ = value;
  if (value) {
    dateValue_ = Date();
    UpdateCalendar();
  }
}

void TCCalendar::UpdateCalendar() {
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } inUpdate(inUpdate_);
  uint16_t y = 0, m = 0, d = 0;
  DecodeDate(dateValue_, y, m, d);
  const int weekday = DayOfWeek(EncodeDate(y, m, 1));  // 1 = Sunday
  firstDayOffset_ = 2 - ((weekday - startOfWeek_ + 7) % 7);
  // A first of the month in the last column: the offset 2 would leave the first week row empty.
  if (firstDayOffset_ == 2) firstDayOffset_ = -5;
  MoveColRow((d - firstDayOffset_) % 7, (d - firstDayOffset_) / 7 + 1, false, false);
  update();
}

std::string TCCalendar::GetCellText(int col, int row) const {
  if (row == 0) return ShortDayNames()[static_cast<size_t>((startOfWeek_ + col) % 7)];
  const int n = firstDayOffset_ + col + (row - 1) * 7;
  if (n < 1 || n > DaysThisMonth()) return {};
  return IntToStr(n);
}

void TCCalendar::DrawCell(QPainter& canvas, int col, int row, const QRect& rect, TGridDrawState) {
  const QString text = QString::fromStdString(GetCellText(col, row));
  const QFontMetrics metrics = canvas.fontMetrics();
  TextRect(canvas, rect, rect.left() + (rect.width() - metrics.horizontalAdvance(text)) / 2,
           rect.top() + (rect.height() - metrics.height()) / 2, text);
}

bool TCCalendar::SelectCell(int col, int row) {
  if (readOnly_ && !inUpdate_) return false;
  if (GetCellText(col, row).empty()) return false;
  return TCustomGrid::SelectCell(col, row);
}

void TCCalendar::Click() {
  const std::string text = GetCellText(Col(), Row());
  if (!text.empty()) SetDateElement(3, StrToInt(text));
  // OnClick is raised too, after the date followed the click.
  TCustomGrid::Click();
}

void TCCalendar::ChangeMonth(int delta) {
  uint16_t y = 0, m = 0, d0 = 0;
  DecodeDate(dateValue_, y, m, d0);
  const TDateTime start = EncodeDate(y, m, delta > 0 ? DaysPerMonth(y, m) : 1);
  uint16_t ny = 0, nm = 0, nd = 0;
  DecodeDate(start + delta, ny, nm, nd);
  const int length = DaysPerMonth(ny, nm);
  SeTCCalendarDate(EncodeDate(ny, nm, static_cast<uint16_t>(length > d0 ? d0 : length)));
}

void TCCalendar::StepYear(int delta) {
  if (IsLeapYear(Year()) && Month() == 2 && Day() == 29) SetDateElement(3, 28);
  SetDateElement(1, Year() + delta);
}

void TCCalendar::NextYear() { StepYear(1); }

void TCCalendar::PrevYear() { StepYear(-1); }

void TCCalendar::Change() {
  if (OnChange) OnChange(this);
}

void TCCalendar::WMSize(int width, int height) {
  // The size arrives as two 16-bit unsigned halves.
  const int w = width & 0xFFFF;
  const int h = height & 0xFFFF;
  SetDefaultColWidth((w - 6 * GridLineWidth()) / 7);
  SetDefaultRowHeight((h - 6 * GridLineWidth()) / 7);
}

void ccalendar::Register() {
  RegisterComponents(
      SamplesPage,
      {{.ClassName = "mirnax::TCCalendar",
        .Header = "controls/samples/ccalendar.h",
        .ToolTip = "Month calendar grid",
        .Description = "A grid of the days of one month; Day, Month and Year pick the date shown and selected.",
        .Create = [](QWidget* parent) -> QWidget* { return new TCCalendar(parent); }}});
}

}  // namespace mirnax
