#!/usr/bin/env bash
# Opens Qt Designer under Xvfb on a form that holds every control of the component library, with
# the plugin from the build, and saves a screenshot: docs/designer.png.
# Needs a build with the plugin (qt6-tools-dev, designer-qt6) and xvfb, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="${1:-$root/docs/designer.png}"
form=$(mktemp --suffix=.ui)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -f "$form"' EXIT
widget() {  # class name x y width height [more properties]
  printf '  <widget class="%s" name="%s"><property name="geometry"><rect><x>%d</x><y>%d</y><width>%d</width><height>%d</height></rect></property>%s</widget>\n' "$@"
}
{
  echo '<?xml version="1.0" encoding="UTF-8"?><ui version="4.0"><class>PaletteForm</class>'
  echo ' <widget class="QWidget" name="PaletteForm"><property name="geometry"><rect><x>0</x><y>0</y><width>560</width><height>420</height></rect></property>'
  echo '  <property name="windowTitle"><string>Every control of the library</string></property>'
  widget mirnax::TCGauge gauge 10 10 250 24 '<property name="Progress"><number>40</number></property><property name="ForeColor"><color><red>0</red><green>0</green><blue>128</blue></color></property>'
  widget mirnax::TJumpMemo memo 10 44 250 160
  widget mirnax::TCCalendar calendar 280 10 270 160
  widget mirnax::TCColorGrid colorGrid 10 214 100 100
  widget mirnax::TCDirectoryOutline directoryOutline 120 214 140 196 '<property name="Directory"><string>/usr/share</string></property>'
  widget mirnax::TPerformanceGraph performanceGraph 280 180 270 130
  widget mirnax::TZipBuilderWidget zipBuilder 280 330 28 28
  echo ' </widget><customwidgets>'
  for c in mirnax::TCGauge=controls/gauge/cgauge.h mirnax::TJumpMemo=controls/jumpmemo/jumpmemo.h \
           mirnax::TCCalendar=controls/samples/ccalendar.h mirnax::TCColorGrid=controls/samples/ccolorgrid.h \
           mirnax::TCDirectoryOutline=controls/samples/cdirectory_outline.h \
           mirnax::TPerformanceGraph=controls/samples/performance_graph.h \
           mirnax::TZipBuilderWidget=components/zip_builder_widget.h; do
    echo "  <customwidget><class>${c%%=*}</class><extends>QWidget</extends><header>${c#*=}</header></customwidget>"
  done
  echo ' </customwidgets><resources/><connections/></ui>'
} >"$form"

export DISPLAY=:96
Xvfb "$DISPLAY" -screen 0 1280x800x24 >/dev/null 2>&1 &
sleep 1
unset QT_QPA_PLATFORM
(cd /usr/share && exec env QT_PLUGIN_PATH="$root/${BIN:-build/bin}" "$(qtpaths6 --query QT_HOST_BINS 2>/dev/null || echo /usr/lib/qt6/bin)/designer" "$form") >/dev/null 2>&1 &
for _ in $(seq 75); do
  win=$(xdotool search --onlyvisible --name "Qt Designer" 2>/dev/null | head -1) && [ -n "$win" ] && break
  sleep 0.2
done
xdotool windowmove "$win" 0 0 windowsize "$win" 1280 800 2>/dev/null || true
sleep 2
# The library's pages sit at the end of the widget box. The gauge is selected, the property
# editor made taller (the resource browser's top edge dragged down) and scrolled to its end: the
# gauge's own properties, its colours shown and picked as colours.
xdotool mousemove 120 400 click --repeat 80 --delay 10 5
sleep 0.5
xdotool mousemove 400 104 click 1
sleep 0.5
xdotool mousemove 1025 532 mousedown 1 sleep 0.2 mousemove 1025 600 sleep 0.2 mousemove 1025 720 sleep 0.2 mouseup 1
sleep 0.5
xdotool mousemove 1000 450 click --repeat 60 --delay 10 5
sleep 1
mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "$out"
