// How the window grows: at the designed size (636 x 332) every control keeps its designed place; the
// room added is shared out by one rule per control, written as a table in form1_layout.cpp.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

namespace mirnax {

// The designed client size, also the window's least size.
inline constexpr QSize Form1PartSize{636, 332};

// The world file list takes this share of the added width, the log the rest.
inline constexpr int Form1ListShare = 4;  // one quarter

// Whether the control of that designer name has a rule (moves or grows with the window).
bool Form1Grows(const QString& name);

// Where the control of that designer name goes when the window is larger than the designed size by
// extra; part is its place at the designed size. A control without a rule keeps its place.
QRect Form1GrownRect(const QString& name, const QRect& part, const QSize& extra);

}  // namespace mirnax
