// The directory outline page: the folder tree open at the user's home folder, with the text case
// switched live and the current folder shown.
#include <QCoreApplication>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>

#include "controls/samples/cdirectory_outline.h"
#include "demo/gallery/gallery_pages.h"
#include "toolkit/core/exceptions.h"

using mirnax::Exception;
using mirnax::TCDirectoryOutline;

QWidget* MakeOutlinePage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* outline = new TCDirectoryOutline(page);
  outline->setObjectName("GalleryDirectoryOutline");
  outline->setAccessibleName(QCoreApplication::translate("Gallery", "Directory outline"));
  outline->setMinimumSize(360, 300);

  auto* current = new QLabel(page);
  current->setWordWrap(true);
  current->setMinimumWidth(240);
  auto showDirectory = [outline, current] { current->setText(QString::fromStdString(outline->Directory())); };
  outline->OnChange = [showDirectory](TCDirectoryOutline*) { showDirectory(); };
  try {
    outline->SetDirectory(QDir::homePath().toStdString());
    outline->Items(outline->SelectedItem()).SetExpanded(true);
  } catch (const Exception& e) {
    current->setText(e.what());
  }
  showDirectory();

  auto* textCase = new QComboBox(page);
  textCase->addItems({"tcLowerCase", "tcUpperCase", "tcAsIs"});
  textCase->setCurrentIndex(outline->TextCase());
  QObject::connect(textCase, &QComboBox::currentIndexChanged, outline, [outline](int index) {
    outline->SetTextCase(static_cast<TCDirectoryOutline::TTextCase>(index));
  });

  auto* help = new QLabel(QCoreApplication::translate("Gallery",
                                                      "Click a folder to make it current.\n"
                                                      "Double click or Enter opens and closes;\n"
                                                      "+ opens, - closes, * opens everything below."),
                          page);

  auto* form = new QFormLayout;
  form->addRow("TextCase", textCase);
  form->addRow("Directory", current);
  form->addRow(help);

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(outline, 1);
  layout->addLayout(form);
  return page;
}
