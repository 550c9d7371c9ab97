// Loads the Designer plugin as Designer does and checks every control it offers.
#include <QDomDocument>
#include <QFile>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>

class TestDesignerPlugin : public QObject {
  Q_OBJECT

  QPluginLoader loader_{MIRNAX_DESIGNER_PLUGIN};
  QList<QDesignerCustomWidgetInterface*> widgets_;

  QDesignerCustomWidgetInterface* Widget(const QString& name) const {
    for (QDesignerCustomWidgetInterface* w : widgets_)
      if (w->name() == name) return w;
    return nullptr;
  }

 private slots:
  void initTestCase() {
    QObject* instance = loader_.instance();
    QVERIFY2(instance != nullptr, qPrintable(loader_.errorString()));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(instance);
    QVERIFY(collection != nullptr);
    widgets_ = collection->customWidgets();
  }

  // Each control on the page its unit registers it on; the zip component through its stand-in.
  void everyControlOnItsPage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");
    QTest::newRow("gauge") << "mirnax::TCGauge" << "Samples";
    QTest::newRow("memo") << "mirnax::TJumpMemo" << "Velmora";
    QTest::newRow("calendar") << "mirnax::TCCalendar" << "Samples";
    QTest::newRow("colour grid") << "mirnax::TCColorGrid" << "Samples";
    QTest::newRow("directory outline") << "mirnax::TCDirectoryOutline" << "Samples";
    QTest::newRow("performance graph") << "mirnax::TPerformanceGraph" << "Samples";
    QTest::newRow("zip component") << "mirnax::TZipBuilderWidget" << "Components";
  }
  void everyControlOnItsPage() {
    QFETCH(QString, name);
    QFETCH(QString, page);
    QCOMPARE(widgets_.size(), 7);
    QDesignerCustomWidgetInterface* w = Widget(name);
    QVERIFY(w != nullptr);
    QCOMPARE(w->group(), page);
    QVERIFY(!w->toolTip().isEmpty() && !w->whatsThis().isEmpty());
    QVERIFY(!w->icon().isNull());
    // A form that uses the control compiles against this header.
    QVERIFY2(QFile::exists(QString(MIRNAX_SOURCE_DIR "/") + w->includeFile()), qPrintable(w->includeFile()));

    // What Designer puts on a form: the class it creates is the class uic will write.
    QDomDocument xml;
    QVERIFY(xml.setContent(w->domXml()));
    const QDomElement element = xml.documentElement().firstChildElement("widget");
    QCOMPARE(element.attribute("class"), name);
    // The object's name becomes a member of the form's class: an identifier, namespace left out.
    const QString object = element.attribute("name");
    QVERIFY2(QRegularExpression("^[a-z][A-Za-z0-9]*$").match(object).hasMatch(), qPrintable(object));

    QWidget form;
    QWidget* control = w->createWidget(&form);
    QVERIFY(control != nullptr);
    QCOMPARE(QString(control->metaObject()->className()), name);
    QCOMPARE(control->parentWidget(), &form);
    form.show();
    QVERIFY(control->isVisible());  // the zip component's stand-in too, while designing

    // Its published properties are there to edit: each writable one takes back what it gives.
    const QMetaObject* meta = control->metaObject();
    int own = 0;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
      const QMetaProperty property = meta->property(i);
      if (!property.isWritable()) continue;
      ++own;
      const QVariant value = property.read(control);
      QVERIFY2(property.write(control, value), property.name());
      QCOMPARE(property.read(control), value);
    }
    QVERIFY(own > 0);
  }
};

QTEST_MAIN(TestDesignerPlugin)
#include "tst_designer_plugin.moc"
