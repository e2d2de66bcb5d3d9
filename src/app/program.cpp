#include "app/program.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include "app/login_form.h"
#include "app/main_commands.h"
#include "app/prehled_sortimentu.h"
#include "app/qt_ui.h"
#include "controls/locale_settings.h"
#include "data/data_module.h"
#include "data/drive_map.h"
#include "xbase/table/dbf_table.h"

int RunProgram(const std::function<void(TPrehledSortimentu&)>& shown) {
  QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  // The program's users are Czech: a desktop without any locale configured
  // (the plain C locale) gets the Czech forms of numbers and dates.
  if (QLocale::system().language() == QLocale::C) QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
  SetLocaleSettings(TLocaleSettings::FromQLocale(QLocale()));
  TDbfTable::LoadAliases("/etc/xbase.cfg");

  const std::string exeDir = QCoreApplication::applicationDirPath().toStdString() + "/";
  LoadDriveMap(exeDir + "DataSor.ini");

  QtUi ui;
  ui.LoginDialog = &RunLoginForm;
  TData data(ui, exeDir);
  data.DataModuleCreate();

  TPrehledSortimentu window(data);
  ConnectMainCommands(window, data);
  ui.SetOwner(&window);
  // Once the end was asked for, the loop ends before the user could work.
  if (!ui.QuitRequested()) {
    window.show();
    if (shown) QTimer::singleShot(0, &window, [&] { shown(window); });
  }
  return ui.Exec();
}
