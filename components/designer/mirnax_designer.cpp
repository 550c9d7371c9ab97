#include "components/designer/mirnax_designer.h"

#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <memory>

#include "components/components.h"
#include "components/zip_builder_widget.h"

namespace mirnax {

namespace {
constexpr int IconSize = 22;  // Designer's widget box icons

// The initial size on a form: the control's own default, kept where it is already small.
QSize FormSize(const QString& className) {
  if (className == "mirnax::TZipBuilderWidget") return {28, 28};
  if (className == "mirnax::TCGauge") return {100, 24};
  return {160, 120};
}
}  // namespace

TDesignerWidget::TDesignerWidget(const TPaletteEntry& entry, QString className, QString header,
                                 std::function<QWidget*(QWidget*)> create, QObject* parent)
    : QObject(parent),
      entry_(entry),
      className_(std::move(className)),
      header_(std::move(header)),
      create_(std::move(create)) {}

QString TDesignerWidget::group() const { return QString::fromStdString(entry_.Page); }
QString TDesignerWidget::toolTip() const { return QString::fromStdString(entry_.ToolTip); }
QString TDesignerWidget::whatsThis() const { return QString::fromStdString(entry_.Description); }

// The icon is the control itself, drawn small: what the palette shows is what the form gets.
QIcon TDesignerWidget::icon() const {
  if (icon_.isNull()) {
    const std::unique_ptr<QWidget> sample(create_(nullptr));
    const QSize size = FormSize(className_);
    sample->resize(size.width() < 40 ? size : QSize(66, 66));
    const QPixmap picture = sample->grab();
    icon_ = QIcon(picture.scaled(IconSize, IconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }
  return icon_;
}

QString TDesignerWidget::domXml() const {
  const QSize size = FormSize(className_);
  // "mirnax::TJumpMemo" is placed as "jumpMemo", then numbered by Designer.
  QString object = className_.mid(className_.lastIndexOf(':') + 1);
  if (object.startsWith('T')) object.remove(0, 1);
  if (!object.isEmpty()) object[0] = object[0].toLower();
  return QString(R"(<ui language="c++"><widget class="%1" name="%2"><property name="geometry"><rect>)"
                 R"(<x>0</x><y>0</y><width>%3</width><height>%4</height></rect></property>)"
                 R"(<property name="toolTip"><string>%5</string></property></widget></ui>)")
      .arg(className_, object.isEmpty() ? className_ : object)
      .arg(size.width())
      .arg(size.height())
      .arg(toolTip().toHtmlEscaped());
}

TMirnaxWidgets::TMirnaxWidgets(QObject* parent) : QObject(parent) {
  mirnax::RegisterAll();
  for (const TPaletteEntry& entry : PaletteEntries()) {
    const QString name = QString::fromStdString(entry.ClassName);
    if (entry.Create) {
      widgets_.append(new TDesignerWidget(entry, name, QString::fromStdString(entry.Header), entry.Create, this));
    } else if (name == "mirnax::TZipBuilder") {
      widgets_.append(new TDesignerWidget(entry, "mirnax::TZipBuilderWidget", "components/zip_builder_widget.h",
                                          [](QWidget* parent) -> QWidget* {
                                            auto* standIn = new TZipBuilderWidget(parent);
                                            standIn->SetDesignMode(true);
                                            return standIn;
                                          },
                                          this));
    }
  }
}

}  // namespace mirnax
