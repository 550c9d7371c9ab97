#include "controls/gauge/cgauge_accessible.h"

#include <QAccessibleWidget>

#include "controls/gauge/cgauge.h"

namespace mirnax {

namespace {
class TGaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit TGaugeAccessible(TCGauge* gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  // Without a name of its own, the percentage it shows.
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::number(Gauge()->GetPercentDone()) + QLatin1Char('%');
    return QAccessibleWidget::text(t);
  }

  QVariant currentValue() const override { return Gauge()->Progress(); }
  void setCurrentValue(const QVariant&) override {}  // a gauge shows; only its program moves it
  QVariant maximumValue() const override { return Gauge()->MaxValue(); }
  QVariant minimumValue() const override { return Gauge()->MinValue(); }
  QVariant minimumStepSize() const override { return 1; }

 private:
  TCGauge* Gauge() const { return static_cast<TCGauge*>(widget()); }
};

QAccessibleInterface* GaugeFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(TCGauge::staticMetaObject.className()) && object && object->isWidgetType())
    return new TGaugeAccessible(static_cast<TCGauge*>(object));
  return nullptr;
}
}  // namespace

void InstallGaugeAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(GaugeFactory);
    return true;
  }();
  (void)installed;
}

void GaugeValueChanged(TCGauge* gauge) {
  if (!QAccessible::isActive()) return;
  QAccessibleValueChangeEvent event(gauge, gauge->Progress());
  QAccessible::updateAccessibility(&event);
}

}  // namespace mirnax
