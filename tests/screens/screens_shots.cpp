// tamorix-screens-shots DEMO_DIR OUT_DIR: opens every dialog of the card
// maintenance screens on the demo data (made by tamorix-demo) through the
// main window's commands and saves a picture of each into OUT_DIR, then
// ends. For looking at the real dialogs under Xvfb; changes nothing on disk
// (every editor is left with Esc).

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/main_commands.h"
#include "app/prehled_sortimentu.h"
#include "app/progres_win.h"
#include "app/qt_ui.h"
#include "controls/db_grid.h"
#include "controls/edit_button.h"
#include "controls/edit_orvet.h"
#include "controls/locale_settings.h"
#include "data/data_module.h"
#include "screens/card_editor.h"
#include "screens/code_list.h"
#include "screens/code_list_commands.h"

namespace {

QString out;
int failures = 0;

void Save(QWidget* w, const QString& name) {
  if (!w->grab().save(out + "/" + name + ".png")) ++failures;
  std::printf("%s\n", qPrintable(name));
}

// Runs `script` once the next modal dialog is up.
void OnModal(std::function<void(QWidget*)> script) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  auto* timer = new QTimer;
  timer->setInterval(50);
  QObject::connect(timer, &QTimer::timeout, [=] {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || m == before.data() || !m->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    QTimer::singleShot(300, m, [m, script] { script(m); });
  });
  timer->start();
}

void Key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : w, &press);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tamorix-screens-shots DEMO_DIR OUT_DIR\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
  SetLocaleSettings(TLocaleSettings::FromQLocale(QLocale()));
  out = QString::fromLocal8Bit(argv[2]);
  QtUi ui;
  TData data(ui, std::string(argv[1]) + "/");
  data.userName = [] { return std::string("admin"); };
  data.DataModuleCreate();
  TPrehledSortimentu window(data);
  ConnectMainCommands(window, data);
  ui.SetOwner(&window);
  window.show();

  // Each step opens one dialog, pictures it and closes it; the next step
  // follows when the command is over.
  std::vector<std::function<void()>> steps;
  size_t next = 0;
  std::function<void()> runNext = [&] {
    if (next == steps.size()) {
      window.close();
      return;
    }
    QTimer::singleShot(200, &window, steps[next++]);
  };
  auto listAndEditor = [&](TCodeTable table, const QString& name) {
    steps.push_back([&, table, name] {
      TCodeTableOpen open(data, table);
      OnModal([&, name, table](QWidget* list) {
        Save(list, "list-" + name);
        auto* codeList = static_cast<TCodeListDialog*>(list);
        if (codeList->Member().toolbar) {
          OnModal([&, name](QWidget* editor) {
            Save(editor, "editor-" + name);
            Key(editor, Qt::Key_Escape);
          });
          codeList->Button2Click();
        }
        Key(list, Qt::Key_Escape);
      });
      ShowCodeList(data, table, &window, {true, QPoint(160, 50)});
      runNext();
    });
  };
  listAndEditor(TCodeTable::Groups, "groups");
  listAndEditor(TCodeTable::Kinds, "kinds");
  listAndEditor(TCodeTable::Subgroups, "subgroups");
  listAndEditor(TCodeTable::Makers, "makers");
  listAndEditor(TCodeTable::Units, "units");
  steps.push_back([&] {
    OnModal([&](QWidget* list) {
      Save(list, "variants-list");
      OnModal([&](QWidget* editor) {
        Save(editor, "variant-editor");
        Key(editor, Qt::Key_Escape);
      });
      Key(list, Qt::Key_F2);
      Key(list, Qt::Key_Escape);
    });
    window.Button4Click();
    runNext();
  });
  auto cardEditor = [&](bool edit) {
    steps.push_back([&, edit] {
      OnModal([&, edit](QWidget* w) {
        auto* e = static_cast<TSorEdit*>(w);
        const QString mode = edit ? "edit" : "new";
        for (int page = 0; page < 3; ++page) {
          e->PageControl1->setCurrentIndex(page);
          QApplication::processEvents();
          Save(e, QString("card-%1-page%2").arg(mode).arg(page + 1));
        }
        e->reject();
      });
      if (edit) window.Button3Click();
      else window.Button1Click();
      runNext();
    });
  };
  cardEditor(false);
  cardEditor(true);
  steps.push_back([&] {
    OnModal([&](QWidget* w) {
      Save(w, "search");
      Key(w, Qt::Key_Escape);
    });
    window.Button2Click();
    runNext();
  });
  steps.push_back([&] {
    TProgresWin progress(&window);
    progress.SetDescription("Indexace souboru :");
    progress.Label1->setText("Tabulka položek sortimentu - dle karty");
    progress.SetPosition(40);
    progress.show();
    QApplication::processEvents();
    Save(&progress, "progress-index");
    progress.SetDescription("Popis činnosti");
    progress.Label1->setText("Úpravy skladu Prodejna Brno-Královo Pole, Palackého třída 123");
    QApplication::processEvents();
    Save(&progress, "progress-transfer");
    runNext();
  });
  runNext();
  app.exec();
  return failures == 0 ? 0 : 1;
}
