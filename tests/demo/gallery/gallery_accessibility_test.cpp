// Every control of every gallery page has a name for assistive tools.
#include <QAccessible>
#include <QDir>
#include <QtTest>

#include "demo/gallery/gallery_pages.h"

namespace {
// The named widgets below root that assistive tools would reach without a name.
void Unnamed(QAccessibleInterface* root, QStringList& out) {
  for (int i = 0; i < root->childCount(); ++i) {
    QAccessibleInterface* child = root->child(i);
    if (!child) continue;
    auto* w = qobject_cast<QWidget*>(child->object());
    // Qt's own insides (scroll bars, viewports, a combo box's list) are Qt's to name.
    const bool ours = w && w->isVisible() && !w->objectName().startsWith("qt_");
    const QAccessible::Role role = child->role();
    // Plain holders and labels are not controls; a label's text is its name anyway.
    const bool plain = (w && w->metaObject() == &QWidget::staticMetaObject) || role == QAccessible::StaticText ||
                       role == QAccessible::ScrollBar;
    if (ours && !plain && child->text(QAccessible::Name).isEmpty())
      out << QString("%1 (%2, role %3)").arg(w->objectName(), w->metaObject()->className()).arg(role);
    Unnamed(child, out);
  }
}
}  // namespace

class GalleryAccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void everyControlIsNamed_data() {
    QTest::addColumn<int>("index");
    int i = 0;
    for (const TGalleryPage& page : GalleryPages()) QTest::newRow(qPrintable(page.name)) << i++;
  }
  void everyControlIsNamed() {
    QFETCH(int, index);
    QWidget window;
    window.resize(900, 600);
    QWidget* page = GalleryPages()[static_cast<size_t>(index)].make(&window);
    page->resize(window.size());
    window.show();
    QStringList unnamed;
    Unnamed(QAccessible::queryAccessibleInterface(&window), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join("; ")));
  }
};

QTEST_MAIN(GalleryAccessibilityTest)
#include "gallery_accessibility_test.moc"
