// The programs' translations: ours (mirnax_<language>.qm) and Qt's own (qtbase_<language>.qm, the
// standard buttons' texts), for the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG). Qt Core
// only, so the terminal program loads them as the window does.
#pragma once

#include <QString>
#include <string>

class QLocale;

namespace mirnax {

// The folders searched for ours, in order: "translations" beside the program (the build tree),
// then <prefix>/share/mirnax/translations for a program in <prefix>/bin.
QStringList TranslationFolders();

// Installs into the application object the translators of locale (by default the user's); returns
// whether ours were found. English needs none.
bool LoadTranslations(const QLocale& locale);
bool LoadTranslations();

// Whether the user's language for messages (LANGUAGE's first entry, else the first of LC_ALL,
// LC_MESSAGES and LANG that is set) is one a translator could serve: not unset, C, POSIX or English,
// whose texts are the programs' own. A program that needs nothing else of Qt creates no
// application object without it.
bool TranslationWanted();

// Translates text in context, as UTF-8: for texts kept and handed out as 8-bit strings.
std::string TrUtf8(const char* context, const char* text);

}  // namespace mirnax
