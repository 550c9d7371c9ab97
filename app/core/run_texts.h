// The run's log texts, one table for the run and its dry run; translated (context
// "mirnax::RunFreeze") where they are logged, handed out as UTF-8.
#pragma once

#include <QtGlobal>
#include <string>

#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

namespace mirnax {

inline constexpr const char* RunTextContext = "mirnax::RunFreeze";
inline constexpr const char* SLoading = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Loading ... ");
inline constexpr const char* SParsing = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Parsing ... ");
// "The Worldfile contains ... " + count + " Items"
inline constexpr const char* SWorldfileContains = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "The Worldfile contains ... ");
inline constexpr const char* SItems = QT_TRANSLATE_NOOP("mirnax::RunFreeze", " Items");
inline constexpr const char* SNoItemsFound = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "No items found");
inline constexpr const char* SCleanStatics = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Clean statics....");
inline constexpr const char* SStartFreezing = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Start freezing....");
inline constexpr const char* SOk = QT_TRANSLATE_NOOP("mirnax::RunFreeze", " OK");
// "Skipped " + count + " items outside the map"
inline constexpr const char* SSkipped = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Skipped ");
inline constexpr const char* SItemsOutside = QT_TRANSLATE_NOOP("mirnax::RunFreeze", " items outside the map");
// "Left out " + count + " items outside the area " + "X1,Y1,X2,Y2", and
// "Left out " + count + " duplicates of statics already in their blocks"
inline constexpr const char* SLeftOut = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Left out ");
inline constexpr const char* SItemsOutsideArea = QT_TRANSLATE_NOOP("mirnax::RunFreeze", " items outside the area ");
inline constexpr const char* SDuplicatesLeftOut =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze", " duplicates of statics already in their blocks");
// A world file met in the record of the files frozen into the pair: its name and the date.
inline constexpr const char* SFrozenBefore =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze", "%s was frozen into these statics before, on %s");
// A world file's name and the line of its bad position.
inline constexpr const char* SErrorInLine = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Error in %s, line %lld");
inline constexpr const char* SLooksLikeUtf16 =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                      "%s looks like UTF-16 text, but world files are 8-bit text: save it as such to freeze its items");

// The unfreeze's log, each a format of the toolkit's Format.
inline constexpr const char* SReadingArea =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Reading the statics of the area %s ...");
inline constexpr const char* STakingArea =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Taking the statics of the area %s out of the statics files ...");
inline constexpr const char* SUnplaceable = QT_TRANSLATE_NOOP(
    "mirnax::RunFreeze",
    "%lld statics of the area's blocks cannot be placed again (their place in the block is outside 0 to 7, or "
    "their block is no whole number of 7-byte records): they stay in the statics files.");
inline constexpr const char* SNoneCopied =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze", "No statics stand in the area: %s is not written.");
inline constexpr const char* SNoneTaken =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                      "No statics stand in the area: the statics files are left as they are, and %s is not written.");
inline constexpr const char* SCopied = QT_TRANSLATE_NOOP(
    "mirnax::RunFreeze", "%lld statics of %lld blocks written to %s; the statics files are left as they are.");
inline constexpr const char* STaken = QT_TRANSLATE_NOOP(
    "mirnax::RunFreeze", "%lld statics left the statics files, from %lld blocks; they are written to %s.");

// A text of the table in the user's language. The freeze's own notes and refusals are marked
// where they are written, in the same context.
inline std::string RunText(const char* text) { return TrUtf8(RunTextContext, text); }
// A format of the context in the user's language, filled in by the toolkit's Format.
template <typename... TArgs>
std::string RunFormat(const char* format, TArgs... args) {
  return Format(RunText(format).c_str(), args...);
}

}  // namespace mirnax
