// The program's cursor table: controls name their cursors by index. Indexes 0 and below are the
// platform's built-in shapes; a program registers shapes of its own at positive indexes.
#pragma once

#include <QCursor>
#include <map>
#include <string>

namespace mirnax {

inline constexpr int crDefault = 0;
inline constexpr int crArrow = -2;
inline constexpr int crCross = -3;
inline constexpr int crIBeam = -4;
inline constexpr int crUpArrow = -10;
inline constexpr int crHourGlass = -11;
inline constexpr int crHandPoint = -21;

class TCursorTable {
 public:
  // The registered cursor at index, else the built-in shape; an unknown index gives the arrow.
  QCursor Cursor(int index) const;
  void Register(int index, const QCursor& cursor);
  bool Registered(int index) const { return cursors_.count(index) != 0; }

 private:
  std::map<int, QCursor> cursors_;
};

// The table of the process. Registered shapes are released when the application object ends.
TCursorTable& Cursors();

// A cursor from the program's resources: "HANDCURSOR2" (a pointing hand) and "PICTCURSOR2" (an
// arrow with a picture), drawn at run time. False for any other name or without a GUI application.
bool LoadCursorResource(const std::string& name, QCursor& cursor);

// Loads the named resource into the table at index; returns index, or crUpArrow when the resource
// does not load.
int RegisterCursorResource(int index, const std::string& name);

}  // namespace mirnax
