// mirnax: the window that freezes a saved world's items into the map statics files.
#include "app/core/run.h"

#include "app/gui/form1.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
  // A write past a file size limit must fail as an error the freeze can undo, not end the process.
  IgnoreFileSizeSignal();
  TApplication app(argc, argv);
  app.SetTitle("KEVO - MIRNAX SPECIAL EDITION");
  int result = 1;
  app.Guard([&] {
    TForm1 form;
    form.show();
    result = app.exec();
  });
  return result;
}
