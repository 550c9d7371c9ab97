// The gauge page: one gauge whose kind, range, progress, colours and text switch are set live.
#include <QCoreApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include "controls/gauge/cgauge.h"
#include "demo/gallery/gallery_pages.h"
#include "toolkit/widgets/graphics.h"

using mirnax::ColorToQColor;
using mirnax::QColorToColor;
using mirnax::TCGauge;
using mirnax::TCGaugeKind;

namespace {

// A button that shows a colour and lets the user pick another.
QPushButton* ColorButton(const QString& text, uint32_t start, QWidget* parent,
                         const std::function<void(uint32_t)>& apply) {
  auto* button = new QPushButton(text, parent);
  auto show = [button](uint32_t color) {
    const QColor shown = ColorToQColor(color);
    button->setStyleSheet(QString("background: %1; color: %2")
                              .arg(shown.name(), shown.lightness() < 128 ? "white" : "black"));
  };
  show(start);
  QObject::connect(button, &QPushButton::clicked, button, [button, show, apply] {
    const QColor picked = QColorDialog::getColor(Qt::white, button);
    if (!picked.isValid()) return;
    apply(QColorToColor(picked));
    show(QColorToColor(picked));
  });
  return button;
}

// MinValue, MaxValue and Progress. The gauge refuses a minimum above its maximum and the reverse:
// the spin boxes and the slider are kept in step.
void AddRangeRows(QFormLayout* form, QWidget* page, TCGauge* gauge) {
  auto* minimum = new QSpinBox(page);
  auto* maximum = new QSpinBox(page);
  auto* progress = new QSlider(Qt::Horizontal, page);
  for (QSpinBox* box : {minimum, maximum}) box->setRange(-1000, 1000);
  minimum->setValue(gauge->MinValue());
  maximum->setValue(gauge->MaxValue());
  progress->setRange(gauge->MinValue(), gauge->MaxValue());
  progress->setValue(40);
  gauge->SetProgress(40);
  auto syncRange = [=] {
    minimum->setMaximum(maximum->value());
    maximum->setMinimum(minimum->value());
    progress->setRange(gauge->MinValue(), gauge->MaxValue());
    progress->setValue(gauge->Progress());
  };
  QObject::connect(minimum, &QSpinBox::valueChanged, gauge, [=](int v) {
    gauge->SetMinValue(v);
    syncRange();
  });
  QObject::connect(maximum, &QSpinBox::valueChanged, gauge, [=](int v) {
    gauge->SetMaxValue(v);
    syncRange();
  });
  QObject::connect(progress, &QSlider::valueChanged, gauge, [gauge](int v) { gauge->SetProgress(v); });
  form->addRow("MinValue", minimum);
  form->addRow("MaxValue", maximum);
  form->addRow("Progress", progress);
}

}  // namespace

QWidget* MakeGaugePage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* gauge = new TCGauge(page);
  gauge->setObjectName("GalleryGauge");
  gauge->setAccessibleName(QCoreApplication::translate("Gallery", "Gauge"));
  gauge->setMinimumSize(240, 160);
  gauge->setMaximumSize(480, 360);

  auto* kind = new QComboBox(page);
  kind->addItems({"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"});
  kind->setCurrentIndex(gauge->Kind());
  QObject::connect(kind, &QComboBox::currentIndexChanged, gauge,
                   [gauge](int index) { gauge->SetKind(static_cast<TCGaugeKind>(index)); });
  auto* showText = new QCheckBox("ShowText", page);
  showText->setChecked(gauge->ShowText());
  QObject::connect(showText, &QCheckBox::toggled, gauge, [gauge](bool on) { gauge->SetShowText(on); });

  auto* colors = new QHBoxLayout;
  colors->addWidget(ColorButton("ForeColor", gauge->ForeColor(), page,
                                [gauge](uint32_t c) { gauge->SetForeColor(c); }));
  colors->addWidget(ColorButton("BackColor", gauge->BackColor(), page,
                                [gauge](uint32_t c) { gauge->SetBackColor(c); }));
  colors->addWidget(ColorButton("Color", gauge->Color(), page,
                                [gauge](uint32_t c) { gauge->SetColor(c); }));

  auto* form = new QFormLayout;
  form->addRow("Kind", kind);
  AddRangeRows(form, page, gauge);
  form->addRow(showText);
  form->addRow("Colours", colors);

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(gauge, 1);
  layout->addLayout(form);
  return page;
}
