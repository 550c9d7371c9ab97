// The gallery's pages: each control of the library gets one page, made by a function of its own
// file. A new page is one file and one row in GalleryPages().
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

struct TGalleryPage {
  QString name;                                    // short name for --page, lower case
  QString caption;                                 // the tab's caption, in English (context "Gallery")
  std::function<QWidget*(QWidget* parent)> make;  // builds the page, owned by parent
};

QWidget* MakeGaugePage(QWidget* parent);
QWidget* MakeMemoPage(QWidget* parent);
QWidget* MakeCalendarPage(QWidget* parent);
QWidget* MakeColorGridPage(QWidget* parent);
QWidget* MakeOutlinePage(QWidget* parent);
QWidget* MakeGraphPage(QWidget* parent);
QWidget* MakeZipPage(QWidget* parent);

// Every page, in the order of the tabs.
std::vector<TGalleryPage> GalleryPages();
