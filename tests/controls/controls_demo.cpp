// A small form with each input control, saved as a picture:
//   controls-demo OUT.png
// Run under a real display (xvfb-run -a) to see what a user sees.

#include "controls/db_edit_orvet.h"
#include "controls/edit_orvet.h"
#include "controls/locale_settings.h"
#include "controls/memory_field.h"
#include "controls/v_edit.h"

#include <QApplication>
#include <QFormLayout>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetLocaleSettings(TLocaleSettings::Czech());

  QWidget form;
  form.setWindowTitle("Tamorix");
  auto* layout = new QFormLayout(&form);

  auto* maker = new TEditOrvet(&form);
  maker->setText("Výrobce s velmi dlouhým názvem, který se nevejde");
  maker->SetButtonVisible(true);
  layout->addRow("Výrobce", maker);

  auto* price = new TEditOrvet(&form);
  price->SetEditType(ttFloat);
  price->SetFloatPrecision(10);
  price->SetFloatDigits(2);
  price->SetAlignment(Qt::AlignRight);
  price->SetButtonVisible(true);
  price->SetFloatValue(1234567.5);
  layout->addRow("Prodejní cena A", price);

  auto* search = new TVEdit(&form);
  search->SetEditType(ttDate);
  search->SetAlignment(Qt::AlignRight);
  search->SetText("7.5.2004");
  layout->addRow("Hledej tento text", search);

  TMemoryField unit(TLinkKind::String, "ks");
  auto* bound = new TDBEditOrvet(&form);
  bound->SetField(&unit);
  bound->SetButtonVisible(true);
  bound->SetButtonWidth(20);
  bound->SetColorDisable(form.palette().color(QPalette::Window));
  bound->setEnabled(false);
  layout->addRow("Měrná jednotka", bound);

  auto* focused = new TEditOrvet(&form);
  focused->setText("ohniskem");
  layout->addRow("Poznámka", focused);

  form.resize(360, 170);
  form.show();
  focused->setFocus();
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "controls.png";
  QTimer::singleShot(300, [&] {
    form.grab().save(out);
    app.quit();
  });
  return app.exec();
}
