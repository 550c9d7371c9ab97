// The component palette of a design environment: each component unit's Register adds its
// components to a page, and a design tool (the Designer plugin) offers what is registered.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mirnax/mirnax_export.h"

class QWidget;

namespace mirnax {

/// One control on the component palette: its class, header, texts and how a form makes it.
struct TPaletteEntry {
  std::string ClassName;    ///< "mirnax::TJumpMemo"
  std::string Header;       ///< what a program includes for it: "controls/jumpmemo/jumpmemo.h"
  std::string ToolTip;      ///< one line for the palette
  std::string Description;  ///< a few sentences for "What's This"
  /// Makes the control for a form. A non-visual component is represented by a small stand-in
  /// widget that the design tool provides: Create is empty then.
  std::function<QWidget*(QWidget* parent)> Create;
  std::string Page = {};  ///< set by RegisterComponents
};

/// The page the sample controls are registered on.
inline constexpr const char* SamplesPage = "Samples";

/// Adds the entries to the palette under page. Registering a class again replaces its entry, so
/// a Register may run more than once.
MIRNAX_EXPORT void RegisterComponents(const std::string& page, std::vector<TPaletteEntry> entries);

/// Every entry registered so far, in the order of first registration.
MIRNAX_EXPORT const std::vector<TPaletteEntry>& PaletteEntries();

}  // namespace mirnax
