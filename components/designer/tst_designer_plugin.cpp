// Loads the Designer plugin as Designer does and checks every control it offers.
#include <QColor>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QMap>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <QtDesigner/QFormBuilder>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>

#include "ui_property_form.h"

class TestDesignerPlugin : public QObject {
  Q_OBJECT

  QPluginLoader loader_{MIRNAX_DESIGNER_PLUGIN};
  QList<QDesignerCustomWidgetInterface*> widgets_;
  std::unique_ptr<QWidget> loaded_;  // property_form.ui loaded at run time, through the plugin
  QWidget compiled_;                 // the same form compiled by uic
  Ui::PropertyForm ui_;
  QMap<QString, QMap<QString, QDomElement>> properties_;  // what the form sets, by control; geometry left out

  // Whether value is the one a property element of the form holds, in the form's notation.
  static bool Holds(const QDomElement& property, const QVariant& value) {
    const QDomElement held = property.firstChildElement();
    const auto number = [&](const char* tag) { return held.firstChildElement(tag).text().toInt(); };
    if (held.tagName() == "color")
      return value.value<QColor>() == QColor(number("red"), number("green"), number("blue"));
    if (held.tagName() == "font") {
      const QFont font = value.value<QFont>();
      return font.family() == held.firstChildElement("family").text() && font.pointSize() == number("pointsize") &&
             font.bold() == (held.firstChildElement("bold").text() == "true");
    }
    if (held.tagName() == "double") return value.toDouble() == held.text().toDouble();
    // An enumerator is written with its scope, as Designer writes it ("mirnax::TCGauge::gkPie").
    return value.toString() == held.text().section("::", -1);
  }

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

    const QString formFile = MIRNAX_SOURCE_DIR "/components/designer/property_form.ui";
    QFile file(formFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDomDocument xml;
    QVERIFY(xml.setContent(&file));
    const QDomNodeList controls = xml.documentElement().firstChildElement("widget").elementsByTagName("widget");
    for (int i = 0; i < controls.size(); ++i) {
      const QDomElement control = controls.at(i).toElement();
      for (QDomElement p = control.firstChildElement("property"); !p.isNull(); p = p.nextSiblingElement("property"))
        if (p.attribute("name") != "geometry") properties_[control.attribute("name")][p.attribute("name")] = p;
    }
    // The directory outline makes its folder the process's current one, where the next outline
    // starts: the compiled form comes first, so that its outline starts elsewhere than the form's
    // folder.
    const QString current = QDir::currentPath();
    ui_.setupUi(&compiled_);
    file.seek(0);
    QFormBuilder loader;
    loader.addPluginPath(QFileInfo(MIRNAX_DESIGNER_PLUGIN).absolutePath());
    loaded_.reset(loader.load(&file));
    QDir::setCurrent(current);
    QVERIFY2(loaded_ != nullptr, qPrintable(loader.errorString()));
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

  // Each colour is a QColor in Designer and in forms, and its 0x00BBGGRR number is neither: both
  // name the same colour, whichever of them is set. An invalid start colour stands for the button
  // face of the control's palette, the system colour the gauge's background starts as.
  void colourTwins_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QColor>("start");
    QTest::addColumn<bool>("writable");
    const auto row = [](const char* control, const char* colour, QColor start, bool writable = true) {
      QTest::addRow("%s %s", control, colour) << QString("mirnax::%1").arg(control) << colour << start << writable;
    };
    row("TCGauge", "ForeColor", Qt::black);
    row("TCGauge", "BackColor", Qt::white);
    row("TCGauge", "Color", QColor());
    row("TJumpMemo", "Color", Qt::white);
    row("TJumpMemo", "SelectColor", Qt::red);
    row("TJumpMemo", "JumpColor", QColor(0, 0x80, 0));
    row("TJumpMemo", "TextColor", Qt::black);
    row("TPerformanceGraph", "ForeColor", QColor(0, 0x80, 0));
    row("TPerformanceGraph", "BackColor", Qt::black);
    row("TCColorGrid", "ForegroundColor", Qt::black, false);
    row("TCColorGrid", "BackgroundColor", Qt::black, false);
  }
  void colourTwins() {
    QFETCH(QString, name);
    QFETCH(QString, colour);
    QFETCH(QColor, start);
    QFETCH(bool, writable);
    QDesignerCustomWidgetInterface* w = Widget(name);
    QVERIFY(w != nullptr);
    QWidget form;
    QWidget* control = w->createWidget(&form);
    const QMetaObject* meta = control->metaObject();
    const QMetaProperty twin = meta->property(meta->indexOfProperty(qPrintable(colour)));
    const QMetaProperty number = meta->property(meta->indexOfProperty(qPrintable(colour + "Value")));
    QVERIFY(twin.isValid() && number.isValid());
    QCOMPARE(twin.metaType(), QMetaType::fromType<QColor>());
    QVERIFY(twin.isDesignable() && twin.isStored());
    QVERIFY(!number.isDesignable() && !number.isStored());
    QCOMPARE(twin.isWritable(), writable);

    if (!start.isValid()) start = control->palette().color(QPalette::Button);
    QCOMPARE(twin.read(control).value<QColor>(), start);
    QCOMPARE(number.read(control).toUInt(), uint(start.red() | start.green() << 8 | start.blue() << 16));
    if (!writable) return;
    QVERIFY(twin.write(control, QColor(0x12, 0x34, 0x56, 0x80)));  // kept as plain RGB
    QCOMPARE(number.read(control).toUInt(), 0x563412u);
    QCOMPARE(twin.read(control).value<QColor>(), QColor(0x12, 0x34, 0x56));
    QVERIFY(number.write(control, 0x00ABCDEFu));
    QCOMPARE(twin.read(control).value<QColor>(), QColor(0xEF, 0xCD, 0xAB));
  }

  // property_form.ui sets every property a form can hold on a control of each class, as a form
  // written by hand or by another tool holds them (Designer itself marks these properties
  // stdset="0", and uic then goes through setProperty). Compiled by uic, the form calls the
  // setters by the names uic writes ("set" + the property's name); loaded at run time, it goes
  // through each property's own setter. Both must end with the value the form holds. No control
  // starts with the value the form gives it, so that a forwarder to the wrong setter, or to none,
  // shows. Where properties overlap (the calendar's date and its day), the form sets them in an
  // order that keeps each one's value, and the date on a calendar of its own.
  void formSetsEachPropertyAlike_data() {
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("property");
    for (const auto& [object, properties] : properties_.asKeyValueRange())
      for (const QString& property : properties.keys())
        QTest::addRow("%s %s", qPrintable(object), qPrintable(property)) << object << property;
  }
  void formSetsEachPropertyAlike() {
    QFETCH(QString, object);
    QFETCH(QString, property);
    const QWidget* loaded = loaded_->findChild<QWidget*>(object);
    const QWidget* compiled = compiled_.findChild<QWidget*>(object);
    QVERIFY(loaded && compiled);
    const QVariant value = loaded->property(qPrintable(property));
    QVERIFY2(Holds(properties_[object][property], value), qPrintable(value.toString()));
    QCOMPARE(compiled->property(qPrintable(property)), value);
  }

  // A property that the form above leaves out would go untested under uic's name. A form holds
  // Qt's own types and enumerations; a std::string it cannot hold. A property of a base class,
  // such as the grid's, needs setting on one of the controls that derive from it.
  void formCoversEveryProperty() {
    const auto declaredBy = [](const QMetaObject* meta, int index) {
      while (index < meta->propertyOffset()) meta = meta->superClass();
      return QString("%1 %2").arg(meta->className(), meta->property(index).name());
    };
    QStringList set;
    for (const auto& [object, properties] : properties_.asKeyValueRange()) {
      const QMetaObject* meta = loaded_->findChild<QWidget*>(object)->metaObject();
      for (const QString& property : properties.keys())
        set << declaredBy(meta, meta->indexOfProperty(qPrintable(property)));
    }
    QStringList missing;
    for (QDesignerCustomWidgetInterface* w : widgets_) {
      QWidget form;
      const QMetaObject* meta = w->createWidget(&form)->metaObject();
      for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const bool formHoldsIt = property.metaType().id() < QMetaType::User || property.isEnumType();
        if (property.isWritable() && property.isDesignable() && property.isStored() && formHoldsIt &&
            !set.contains(declaredBy(meta, i)))
          missing << declaredBy(meta, i);
      }
    }
    QVERIFY2(missing.isEmpty(), qPrintable("not set by the form: " + missing.join(", ")));
  }
};

QTEST_MAIN(TestDesignerPlugin)
#include "tst_designer_plugin.moc"
