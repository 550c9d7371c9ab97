// What assistive tools learn of a TCGauge: a progress bar whose value, minimum and maximum are the
// gauge's Progress, MinValue and MaxValue (Qt's accessibility value interface). The factory that
// makes it is installed by the first gauge made.
#pragma once

class QObject;

namespace mirnax {

class TCGauge;

// Installs the factory once; later calls do nothing.
void InstallGaugeAccessibility();

// Tells assistive tools that the gauge's value changed (nothing when none listens).
void GaugeValueChanged(TCGauge* gauge);

}  // namespace mirnax
