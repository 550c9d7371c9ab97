#include "controls/jumpmemo/jumpmemo_print.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "controls/jumpmemo/jumpmemo_control.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/fileio.h"
#include "toolkit/widgets/cp1251.h"
#include "toolkit/widgets/printer.h"

namespace mirnax {

namespace {

void WriteLines(const TJumpDocument& doc, const std::string& name, int64_t first, int64_t end) {
  std::string text;
  for (int64_t i = first; i < end; ++i) {
    text += doc.Line(static_cast<int>(i));
    text += "\r\n";
  }
  WriteWholeFile(name, text);
}

void PrintLines(const TJumpDocument& doc, const QFont& font, int64_t first, int64_t end, bool allPages) {
  const int pageLines = TJumpDocument::PageLines;
  const std::string failure =
      MemoText(allPages ? QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Can`t put document on printer")
                        : QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Can`t put document on the printer"));
  QPrinter& printer = Printer();
  printer.setDocName(QString::fromStdString(MemoText(QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Printing Doc"))));
  QPainter canvas;
  if (!canvas.begin(&printer)) {
    Dialogs().Message(failure, MemoText(MemoErrorCaption), mtError);
    return;
  }
  canvas.setFont(font);
  const int x = 4 * ((printer.width() - 100) / 80);
  const int step = (printer.height() - 200) / pageLines;
  const int ascent = canvas.fontMetrics().ascent();
  // A page of the whole text starts at its top; pages of a range leave the first step free.
  const int topRow = allPages ? 0 : 1;
  for (int64_t i = first; i < end; ++i) {
    const int k = static_cast<int>(i % pageLines);
    canvas.drawText(QPoint(x, (k + topRow) * step + ascent), Cp1251ToDisplay(doc.Line(static_cast<int>(i))));
    if (i + 1 < end && k == pageLines - 1 && !printer.newPage()) {
      Dialogs().Message(failure, MemoText(MemoErrorCaption), mtError);
      break;
    }
  }
  canvas.end();
}

}  // namespace

void PrintDocument(const TJumpDocument& doc, const QFont& font, const std::string& Name, int FromPage, int ToPage,
                   bool ToFile, bool AllPages) {
  if (ToPage < FromPage) {
    Dialogs().Message(
        MemoText(QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Wrong pages range. Call printer procedure again")),
        MemoText(MemoErrorCaption), mtError);
    return;
  }
  const int count = doc.Ready() ? doc.Count() : 0;
  const int pageLines = TJumpDocument::PageLines;
  // The lines to print: all, or those of pages FromPage .. ToPage that exist.
  const int64_t first = AllPages ? 0 : std::max<int64_t>(0, (int64_t{FromPage} - 1) * pageLines);
  const int64_t end = AllPages ? count : std::min<int64_t>(count, int64_t{ToPage} * pageLines);
  if (ToFile) return WriteLines(doc, Name, first, end);
  if (first >= end) return;  // no line of the text lies on those pages: no empty print job
  PrintLines(doc, font, first, end, AllPages);
}

}  // namespace mirnax
