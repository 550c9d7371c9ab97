// The calendar page: a month calendar with its start of week and read-only switch set live, and
// buttons that step the month and the year.
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/samples/ccalendar.h"
#include "demo/gallery/gallery_pages.h"

using mirnax::TCCalendar;

QWidget* MakeCalendarPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* calendar = new TCCalendar(page);
  calendar->setObjectName("GalleryCalendar");
  calendar->setAccessibleName(QCoreApplication::translate("Gallery", "Calendar"));
  calendar->setMinimumSize(320, 240);

  auto* shown = new QLabel(page);
  auto showDate = [calendar, shown] {
    shown->setText(
        QString("%1-%2-%3%4")
            .arg(calendar->Year(), 4, 10, QChar('0'))
            .arg(calendar->Month(), 2, 10, QChar('0'))
            .arg(calendar->Day(), 2, 10, QChar('0'))
            .arg(calendar->UseCurrentDate() ? QCoreApplication::translate("Gallery", " (today)") : QString()));
  };
  calendar->OnChange = [showDate](TCCalendar*) { showDate(); };
  showDate();

  auto* startOfWeek = new QComboBox(page);
  startOfWeek->addItems(
      {QCoreApplication::translate("Gallery", "1 Monday"), QCoreApplication::translate("Gallery", "2 Tuesday"),
       QCoreApplication::translate("Gallery", "3 Wednesday"), QCoreApplication::translate("Gallery", "4 Thursday"),
       QCoreApplication::translate("Gallery", "5 Friday"), QCoreApplication::translate("Gallery", "6 Saturday"),
       QCoreApplication::translate("Gallery", "7 Sunday")});
  startOfWeek->setCurrentIndex(calendar->StartOfWeek() - 1);
  QObject::connect(startOfWeek, &QComboBox::currentIndexChanged, calendar,
                   [calendar](int index) { calendar->SetStartOfWeek(index + 1); });

  auto* readOnly = new QCheckBox("ReadOnly", page);
  QObject::connect(readOnly, &QCheckBox::toggled, calendar, [calendar](bool on) { calendar->SetReadOnly(on); });

  auto* today = new QPushButton("UseCurrentDate", page);
  QObject::connect(today, &QPushButton::clicked, calendar, [calendar, showDate] {
    calendar->SetUseCurrentDate(true);
    showDate();
  });

  auto* steps = new QHBoxLayout;
  const std::pair<const char*, void (TCCalendar::*)()> buttons[] = {
      {"PrevYear", &TCCalendar::PrevYear}, {"PrevMonth", &TCCalendar::PrevMonth},
      {"NextMonth", &TCCalendar::NextMonth}, {"NextYear", &TCCalendar::NextYear}};
  for (const auto& [text, step] : buttons) {
    auto* button = new QPushButton(text, page);
    QObject::connect(button, &QPushButton::clicked, calendar, [calendar, step = step] { (calendar->*step)(); });
    steps->addWidget(button);
  }

  auto* form = new QFormLayout;
  form->addRow("Date", shown);
  form->addRow("StartOfWeek", startOfWeek);
  form->addRow(readOnly);
  form->addRow(today);
  form->addRow(steps);

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(calendar, 1);
  layout->addLayout(form);
  return page;
}
