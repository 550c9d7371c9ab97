// The colour grid page: the picker with its ordering, enabled marks and 3D look set live, and the
// picked colours shown beside it.
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>

#include <functional>

#include "controls/samples/ccolorgrid.h"
#include "demo/gallery/gallery_pages.h"

using mirnax::ColorToQColor;
using mirnax::TCColorGrid;
using mirnax::TColor;

namespace {

// A label that shows a colour and its value.
void ShowColor(QLabel* label, TColor color, bool enabled) {
  const QColor shown = ColorToQColor(color);
  label->setText(enabled ? shown.name() : QCoreApplication::translate("Gallery", "(disabled)"));
  label->setStyleSheet(enabled ? QString("background: %1; color: %2; padding: 4px")
                                     .arg(shown.name(), shown.lightness() < 128 ? "white" : "black")
                               : QString("padding: 4px"));
}

QComboBox* OrderingBox(QWidget* page, TCColorGrid* grid) {
  auto* ordering = new QComboBox(page);
  ordering->addItems({"go16x1", "go8x2", "go4x4", "go2x8", "go1x16"});
  ordering->setCurrentIndex(grid->GridOrdering());
  QObject::connect(ordering, &QComboBox::currentIndexChanged, grid, [grid](int index) {
    // Room for the new layout first, then the control snaps itself to whole squares.
    const int columns = 16 >> index;
    grid->resize(std::min(columns * 40, 320), std::min((16 / columns) * 40, 320));
    grid->SetGridOrdering(static_cast<TCColorGrid::TGridOrdering>(index));
  });
  return ordering;
}

// The four switches of the grid; showColors shows the colours again after a change.
void AddSwitches(QFormLayout* form, QWidget* page, TCColorGrid* grid, const std::function<void()>& showColors) {
  auto* fgEnabled = new QCheckBox("ForegroundEnabled", page);
  auto* bgEnabled = new QCheckBox("BackgroundEnabled", page);
  auto* clickEnables = new QCheckBox("ClickEnablesColor", page);
  auto* ctl3D = new QCheckBox("Ctl3D", page);
  fgEnabled->setChecked(grid->ForegroundEnabled());
  bgEnabled->setChecked(grid->BackgroundEnabled());
  clickEnables->setChecked(grid->ClickEnablesColor());
  ctl3D->setChecked(grid->Ctl3D());
  QObject::connect(fgEnabled, &QCheckBox::toggled, grid, [=](bool on) {
    grid->EnableForeground(on);
    showColors();
  });
  QObject::connect(bgEnabled, &QCheckBox::toggled, grid, [=](bool on) {
    grid->EnableBackground(on);
    showColors();
  });
  QObject::connect(clickEnables, &QCheckBox::toggled, grid, [grid](bool on) { grid->SetClickEnablesColor(on); });
  QObject::connect(ctl3D, &QCheckBox::toggled, grid, [grid](bool on) { grid->SetCtl3D(on); });
  // A pick that enables a colour (ClickEnablesColor) changes the marks without a box being
  // ticked: keep the boxes in step.
  grid->OnChange = [=](TCColorGrid*) {
    fgEnabled->setChecked(grid->ForegroundEnabled());
    bgEnabled->setChecked(grid->BackgroundEnabled());
    showColors();
  };
  form->addRow(fgEnabled);
  form->addRow(bgEnabled);
  form->addRow(clickEnables);
  form->addRow(ctl3D);
}

}  // namespace

QWidget* MakeColorGridPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* grid = new TCColorGrid(page);
  grid->setObjectName("GalleryColorGrid");
  grid->setAccessibleName(QCoreApplication::translate("Gallery", "Colour grid"));
  grid->SetTabStop(true);
  grid->resize(240, 240);
  grid->SetBackgroundIndex(15);

  auto* foreground = new QLabel(page);
  auto* background = new QLabel(page);
  auto showColors = [=] {
    ShowColor(foreground, grid->GetForegroundColor(), grid->ForegroundEnabled());
    ShowColor(background, grid->GetBackgroundColor(), grid->BackgroundEnabled());
  };
  showColors();

  auto* help = new QLabel(QCoreApplication::translate("Gallery",
                                                      "Left button: foreground. Other buttons: background.\n"
                                                      "Keys: arrows, Home, End, Space move; F and B pick."),
                          page);
  auto* form = new QFormLayout;
  form->addRow("GridOrdering", OrderingBox(page, grid));
  AddSwitches(form, page, grid, showColors);
  form->addRow("ForegroundColor", foreground);
  form->addRow("BackgroundColor", background);
  form->addRow(help);

  // The grid keeps the size it snapped to; it is not stretched by a layout.
  auto* holder = new QWidget(page);
  holder->setMinimumSize(330, 330);
  grid->setParent(holder);
  grid->move(4, 4);

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(holder, 1);
  layout->addLayout(form);
  return page;
}
