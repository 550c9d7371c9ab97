// The memo page: a small help viewer over a generated hyper-text document. A jump goes to the
// topic it names, a search field walks the matches, and copy, print, page markers and highlighted
// words are a click away.
#include <QCoreApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <functional>
#include <string>
#include <vector>

#include "controls/jumpmemo/jumpmemo.h"
#include "demo/gallery/gallery_pages.h"
#include "toolkit/core/classes.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/cp1251.h"
#include "toolkit/widgets/printer.h"

using mirnax::Application;
using mirnax::Cp1251ToQString;
using mirnax::Printer;
using mirnax::TApplication;
using mirnax::TJumpMemo;
using mirnax::TStringList;

namespace {

// Windows-1251 bytes of UTF-8 text that holds only ASCII and Cyrillic.
std::string ToCp1251(const QString& text) {
  std::string out;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x80) out += static_cast<char>(u);
    else if (u >= 0x0410 && u <= 0x044F) out += static_cast<char>(0xC0 + (u - 0x0410));
    else if (u == 0x0401) out += '\xA8';
    else if (u == 0x0451) out += '\xB8';
    else out += '?';
  }
  return out;
}

// Topics are opened by a heading "[Name]"; a jump "~Name" leads to it. The topics' names and texts
// are in the user's language, each text whole, its jumps filled in with the names they lead to; the
// document is Windows-1251, as the memo reads it.
std::vector<std::string> SampleDocument() {
  const QString contents = QCoreApplication::translate("Gallery", "Contents"),
                reading = QCoreApplication::translate("Gallery", "Reading"),
                searching = QCoreApplication::translate("Gallery", "Searching"),
                pictures = QCoreApplication::translate("Gallery", "Pictures"),
                pages = QCoreApplication::translate("Gallery", "Pages"),
                russian = QCoreApplication::translate("Gallery", "Russian");
  std::vector<std::string> lines;
  const auto add = [&lines](const QString& text) {
    for (const QString& line : text.split('\n')) lines.push_back(ToCp1251(line));
  };
  // "  ~Name" in a column of its own, then what the topic is about.
  const auto entry = [&add](const QString& name, const QString& about) {
    add(QString("  ~%1").arg(name).leftJustified(16) + about);
  };
  add("[" + contents + "]");
  add(QCoreApplication::translate(
      "Gallery", "Welcome to the hyper-text memo. Click a green word, or put the caret on it and press Enter."));
  add("");
  entry(reading, QCoreApplication::translate("Gallery", "moving around with the keys and the mouse"));
  entry(searching, QCoreApplication::translate("Gallery", "finding words, highlighting them"));
  entry(pictures, QCoreApplication::translate("Gallery", "references to images"));
  entry(pages, QCoreApplication::translate("Gallery", "page markers and printing"));
  entry(russian, QCoreApplication::translate("Gallery", "text in Windows-1251"));
  add("");
  const auto topic = [&](const QString& name, const QString& body) {
    add("[" + name + "]");
    add(body);
    add(QCoreApplication::translate("Gallery", "Back to the ~%1.").arg(contents));
    for (int i = 0; i < 3; ++i) add("");
  };
  topic(reading,
        QCoreApplication::translate("Gallery",
                                    "Up, Down, Page Up and Page Down move the caret by lines and pages; with Ctrl,\n"
                                    "Page Up and Page Down go to the first and last visible line, Home and End to the\n"
                                    "start and the end of the text. Shift with any of them selects; so does dragging.\n"
                                    "Drag past the bottom edge and the view scrolls on by itself. Ctrl+Insert copies.\n"
                                    "F1 asks the program for help on the memo's topic. See also ~%1.")
            .arg(searching));
  topic(searching,
        QCoreApplication::translate("Gallery",
                                    "Type a word into the search field and press Next or Previous. Letter case does\n"
                                    "not matter, and Latin letters match their Cyrillic look-alikes: cab finds CAB.\n"
                                    "Words in the highlight field are shown in red; a trailing * matches a prefix,\n"
                                    "so freez* lights freeze, freezes and freezing. Try it on the ~%1 page.")
            .arg(russian));
  topic(pictures, QCoreApplication::translate(
                      "Gallery",
                      "A name behind a caret refers to a picture: ^map_01.bmp is drawn in a dotted frame,\n"
                      "its underscores shown as dots. Clicking one reports it: ^statics_index.png\n"
                      "Pictures are not jumps; they do not lead anywhere. Back to ~%1.")
                      .arg(reading));
  topic(pages,
        QCoreApplication::translate("Gallery",
                                    "With page markers on, every 50 lines are opened by a line such as - Page 2 - in\n"
                                    "blue. Printing writes pages of 51 lines; Print to PDF puts the whole text into a\n"
                                    "file in the temporary folder."));
  // Russian in any language: the page shows the memo reading Windows-1251.
  topic(russian, QString::fromUtf8("Этот текст набран в кодировке Windows-1251.\n"
                                   "Поиск не различает регистр: слово ТЕКСТ найдёт текст.\n"
                                   "Ссылки работают и здесь: вернуться к ~%1.\n"
                                   "Ёлка, ёж и щука стоят в одном ряду с латиницей.")
                     .arg(contents));
  for (int i = 1; i <= 60; ++i)
    add(QCoreApplication::translate("Gallery", "Filler line %1 of the appendix, to scroll through.").arg(i));
  return lines;
}

}  // namespace

namespace {

using TSay = std::function<void(const QString&)>;

// The memo, with the sample opened from a file of its own, as any document would be.
TJumpMemo* NewMemo(QWidget* page) {
  auto* memo = new TJumpMemo(page);
  memo->setObjectName("GalleryMemo");
  memo->setAccessibleName(QCoreApplication::translate("Gallery", "Memo"));
  memo->ChangeScrollBars(TJumpMemo::ssBoth);
  memo->SetTabStop(true);
  memo->SetHelpContext(310);
  memo->setMinimumSize(400, 240);
  auto* sample = new QTemporaryFile(QDir::temp().filePath("mirnax-memo-XXXXXX.txt"), page);
  if (sample->open()) {
    for (const std::string& line : SampleDocument()) {
      sample->write(line.data(), static_cast<qint64>(line.size()));
      sample->write("\r\n");
    }
    sample->close();
    memo->LoadFromFile(sample->fileName().toStdString());
  }
  return memo;
}

// Jumps, pictures, copies and F1 said in the status line.
void ReportEvents(QWidget* page, TJumpMemo* memo, const TSay& say) {
  memo->OnJumpClick = [memo, say](QObject*, std::string word) {
    const int line = memo->GotoWord("[" + word + "]", 0, true);
    say(QCoreApplication::translate("Gallery", "Jump to %1: line %2").arg(Cp1251ToQString(word)).arg(line));
  };
  memo->OnPictureClick = [say](QObject*, std::string name) {
    say(QCoreApplication::translate("Gallery", "Picture %1 (the viewer shows no images)").arg(Cp1251ToQString(name)));
  };
  memo->OnCopyToClipboard = [say](QObject*, int32_t count) {
    say(QCoreApplication::translate("Gallery", "Copied %1 bytes").arg(count));
  };
  if (Application)
    QObject::connect(Application, &TApplication::HelpRequested, page, [say](int context) {
      say(QCoreApplication::translate("Gallery", "Help asked for topic %1 (F1)").arg(context));
    });
}

// The search field with its Next and Previous buttons.
void AddSearch(QHBoxLayout* tools, QWidget* page, TJumpMemo* memo, const TSay& say) {
  auto* find = new QLineEdit(page);
  find->setObjectName("MemoFind");
  find->setAccessibleName(QCoreApplication::translate("Gallery", "Text to find"));
  find->setPlaceholderText(QCoreApplication::translate("Gallery", "Search"));
  auto* next = new QPushButton(QCoreApplication::translate("Gallery", "Next"), page);
  auto* previous = new QPushButton(QCoreApplication::translate("Gallery", "Previous"), page);
  const auto search = [memo, find, say](bool forward) {
    const bool found = memo->Search(ToCp1251(find->text()), forward);
    say(found ? QCoreApplication::translate("Gallery", "Found on line %1").arg(memo->Caret().Line)
              : QCoreApplication::translate("Gallery", "Not found"));
    memo->setFocus();
  };
  QObject::connect(next, &QPushButton::clicked, page, [search] { search(true); });
  QObject::connect(previous, &QPushButton::clicked, page, [search] { search(false); });
  QObject::connect(find, &QLineEdit::returnPressed, page, [search] { search(true); });
  tools->addWidget(find, 1);
  tools->addWidget(next);
  tools->addWidget(previous);
}

QHBoxLayout* MakeTools(QWidget* page, TJumpMemo* memo, const TSay& say) {
  auto* tools = new QHBoxLayout;
  auto* open = new QPushButton(QCoreApplication::translate("Gallery", "Open..."), page);
  QObject::connect(open, &QPushButton::clicked, page, [page, memo, say] {
    const QString name =
        QFileDialog::getOpenFileName(page, QCoreApplication::translate("Gallery", "Open a text"), QString(),
                                     QCoreApplication::translate("Gallery", "Texts (*.txt);;All files (*)"));
    if (name.isEmpty()) return;
    memo->LoadFromFile(name.toStdString());
    say(QCoreApplication::translate("Gallery", "%1: %2 lines").arg(name).arg(memo->Lines().Count()));
  });
  tools->addWidget(open);
  AddSearch(tools, page, memo, say);

  auto* copy = new QPushButton(QCoreApplication::translate("Gallery", "Copy"), page);
  QObject::connect(copy, &QPushButton::clicked, page, [memo, say] {
    if (memo->CopyToClipboard() == 0) say(QCoreApplication::translate("Gallery", "Nothing selected to copy"));
  });
  auto* print = new QPushButton(QCoreApplication::translate("Gallery", "Print to PDF"), page);
  QObject::connect(print, &QPushButton::clicked, page, [memo, say] {
    const QString pdf = QDir::temp().filePath("mirnax-memo.pdf");
    Printer().setOutputFormat(QPrinter::PdfFormat);
    Printer().setOutputFileName(pdf);
    memo->Print("", 1, 1, false, true);
    say(QCoreApplication::translate("Gallery", "Printed to %1").arg(pdf));
  });
  auto* pages = new QCheckBox(QCoreApplication::translate("Gallery", "Page markers"), page);
  QObject::connect(pages, &QCheckBox::toggled, memo, [memo](bool on) { memo->SetShowPages(on); });
  tools->addWidget(copy);
  tools->addWidget(print);
  tools->addWidget(pages);
  return tools;
}

// The words to highlight, separated by commas.
QHBoxLayout* MakeHighlightRow(QWidget* page, TJumpMemo* memo) {
  auto* highlight = new QLineEdit(QCoreApplication::translate("Gallery", "memo, freez*"), page);
  highlight->setObjectName("MemoHighlight");
  highlight->setAccessibleName(QCoreApplication::translate("Gallery", "Words to highlight"));
  highlight->setAccessibleDescription(QCoreApplication::translate("Gallery", "Words the memo shows highlighted, separated by commas; * matches any ending"));
  highlight->setToolTip(
      QCoreApplication::translate("Gallery", "Words to highlight, separated by commas; a trailing * matches a prefix"));
  const auto applyHighlight = [memo, highlight] {
    TStringList words;
    for (const QString& word : highlight->text().split(',', Qt::SkipEmptyParts)) words.Add(ToCp1251(word.trimmed()));
    memo->SetSelWords(words);
  };
  applyHighlight();
  QObject::connect(highlight, &QLineEdit::editingFinished, page, applyHighlight);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QCoreApplication::translate("Gallery", "Highlight:"), page));
  row->addWidget(highlight, 1);
  return row;
}

}  // namespace

QWidget* MakeMemoPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  TJumpMemo* memo = NewMemo(page);
  auto* status =
      new QLabel(QCoreApplication::translate("Gallery", "Click a green jump, or open a text of your own."), page);
  status->setObjectName("MemoStatus");
  const TSay say = [status](const QString& text) { status->setText(text); };
  ReportEvents(page, memo, say);

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(MakeTools(page, memo, say));
  layout->addLayout(MakeHighlightRow(page, memo));
  layout->addWidget(memo, 1);
  layout->addWidget(status);
  return page;
}
