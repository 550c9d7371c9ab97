// The Designer plugin: every component registered on the palette, as Designer's custom widgets.
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

#include "toolkit/core/palette.h"

namespace mirnax {

// One palette entry as a Designer widget. A non-visual component comes with the class of its
// stand-in widget, which is what a form then holds.
class TDesignerWidget : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  TDesignerWidget(const TPaletteEntry& entry, QString className, QString header,
                  std::function<QWidget*(QWidget*)> create, QObject* parent);

  QString name() const override { return className_; }
  QString group() const override;
  QString toolTip() const override;
  QString whatsThis() const override;
  QString includeFile() const override { return header_; }
  QIcon icon() const override;
  bool isContainer() const override { return false; }
  QWidget* createWidget(QWidget* parent) override { return create_(parent); }
  QString domXml() const override;

 private:
  const TPaletteEntry& entry_;
  QString className_;
  QString header_;
  std::function<QWidget*(QWidget*)> create_;
  mutable QIcon icon_;
};

class TMirnaxWidgets : public QObject, public QDesignerCustomWidgetCollectionInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
  Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

 public:
  explicit TMirnaxWidgets(QObject* parent = nullptr);
  QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

 private:
  QList<QDesignerCustomWidgetInterface*> widgets_;
};

}  // namespace mirnax
