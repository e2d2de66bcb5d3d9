#include "app/prehled_sortimentu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "app/keyboard_locks.h"
#include "controls/db_grid.h"
#include "controls/db_navigator.h"
#include "data/data_module.h"

namespace {

constexpr int kClientWidth = 792;
constexpr int kClientHeight = 554;
constexpr int kToolbarHeight = 41;
constexpr int kUserPaneWidth = 538;
constexpr int kLockPaneWidth = 50;

// The catalogue's columns, in order; 64 pixels where a width is set.
std::vector<TDBGridColumn> CatalogueColumns() {
  return {{"SOR_KAV", 0},  {"SOR_NAC", 64}, {"SOR_PC1", 0},  {"SOR_PC2", 0},  {"SOR_PC3", 0},  {"SOR_PC4", 0},
          {"SOR_PC5", 0},  {"SOR_DAN", 0},  {"SOR_STA", 0},  {"SOR_S01", 0},  {"SOR_S02", 0},  {"SOR_S03", 0},
          {"SOR_S04", 0},  {"SOR_S05", 0},  {"SOR_S06", 0},  {"SOR_S07", 0},  {"SOR_S08", 0},  {"SOR_S09", 0},
          {"SOR_S10", 0},  {"SOR_S11", 0},  {"SOR_S12", 0},  {"SOR_S13", 0},  {"SOR_S14", 0},  {"SOR_S15", 0},
          {"SOR_MIN", 0},  {"SOR_SKL", 64}, {"SOR_OLD", 64}, {"SOR_VYR", 64}, {"SOR_MJE", 64}, {"SOR_HMO", 0},
          {"SOR_OBJ", 0},  {"SOR_BAL", 0},  {"SOR_OTV", 64}, {"SOR_DRU", 64}, {"SOR_PSK", 64}, {"SOR_SKU", 64},
          {"SOR_EAN", 64}, {"SOR_SLE", 0},  {"SOR_KDO", 0},  {"SOR_KVY", 0},  {"SOR_BLO", 0},  {"SOR_REQ", 0},
          {"SOR_KOM", 64}, {"SOR_POZ", 64}};
}

QLabel* Pane(QWidget* parent) {
  auto* pane = new QLabel(parent);
  pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pane->setIndent(2);
  return pane;
}

}  // namespace

TPrehledSortimentu::TPrehledSortimentu(TData& data, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      DataSor0000(&data.Sor0000),
      data_(data) {
  setWindowTitle(QStringLiteral("Olvena 1.08"));

  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(MakeToolbar());
  DBGrid1 = new TDBGrid(DataSor0000, CatalogueColumns(), client);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  column->addWidget(DBGrid1, 1);
  column->addWidget(MakeStatusBar());
  setCentralWidget(client);
  MakeMenu();
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  // Tab stops: Button4, Button5, then the grid.
  setTabOrder(Button4, Button5);
  setTabOrder(Button5, DBGrid1);

  connect(DBNavigator1, &TDBNavigator::exited, this, &TPrehledSortimentu::DBNavigator1Exit);
  auto showError = [this](const QString& text) { data_.ui.Error(text.toStdString()); };
  connect(DBNavigator1, &TDBNavigator::errorOccurred, this, showError);
  connect(DBGrid1, &TDBGrid::errorOccurred, this, showError);

  // Key preview: the window sees key presses before the focused control.
  qApp->installEventFilter(this);

  clock_ = new QTimer(this);
  connect(clock_, &QTimer::timeout, this, &TPrehledSortimentu::UpdateStatus);
  clock_->start(1000);
  UpdateStatus();
  UpdateCommands();
  FormCreate();
}

TPrehledSortimentu::~TPrehledSortimentu() {
  qApp->removeEventFilter(this);
  // The grid and the navigator go before the data source they show.
  delete takeCentralWidget();
}

QWidget* TPrehledSortimentu::MakeToolbar() {
  auto* panel = new QFrame;
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setFixedHeight(kToolbarHeight);

  DBNavigator1 = new TDBNavigator(DataSor0000, panel);
  DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
  DBNavigator1->move(8, 8);

  struct ButtonSpec {
    QPushButton*& button;
    const char* name;
    const char* caption;
    int left;
    bool tabStop;
    TMainCommand command;
  };
  const ButtonSpec specs[] = {
      {Button2, "Button2", "F5 Hledej", 128, false, TMainCommand::Search},
      {Button4, "Button4", "F7 Varianty", 208, true, TMainCommand::Variants},
      {Button5, "Button5", "F10 Přenos", 288, true, TMainCommand::Transfer},
      {Button3, "Button3", "F4 Oprava", 624, false, TMainCommand::EditCard},
      {Button1, "Button1", "F2 Nový", 704, false, TMainCommand::NewCard},
  };
  for (const ButtonSpec& s : specs) {
    s.button = new QPushButton(QString::fromUtf8(s.caption), panel);
    s.button->setObjectName(QString::fromLatin1(s.name));
    s.button->setGeometry(s.left, 8, 75, 25);
    s.button->setFocusPolicy(s.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    s.button->setAutoDefault(false);
    TMainCommand command = s.command;
    connect(s.button, &QPushButton::clicked, this, [this, command] { Run(command); });
    Slot(command).button = s.button;
  }
  return panel;
}

void TPrehledSortimentu::MakeMenu() {
  QMenuBar* bar = menuBar();
  bar->addMenu(QStringLiteral("Přehled"));
  QMenu* settings = bar->addMenu(QStringLiteral("Nastavení"));
  auto item = [this](QMenu* menu, QAction*& action, const char* name, const char* caption, TMainCommand command) {
    action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    Slot(command).action = action;
  };
  item(settings, Indexacesortimentu1, "Indexacesortimentu1", "Indexace sortimentu", TMainCommand::RebuildIndexes);
  item(settings, Druhysortimnetu1, "Druhysortimnetu1", "Druhy sortimnetu", TMainCommand::KindsList);
  item(settings, Skupinysortimentu1, "Skupinysortimentu1", "Skupiny sortimentu", TMainCommand::GroupsList);
  item(settings, Importnovchvariant1, "Importnovchvariant1", "Import nových variant", TMainCommand::ImportVariants);
  QMenu* reports = bar->addMenu(QStringLiteral("Sestavy"));
  item(reports, Celkovsestavazsobynasklad1, "Celkovsestavazsobynasklad1", "Celková sestava aktualní zásoby na skladě",
       TMainCommand::StockReport);
  Konec2 = bar->addAction(QStringLiteral("Konec"));
  Konec2->setObjectName(QStringLiteral("Konec2"));
  connect(Konec2, &QAction::triggered, this, &TPrehledSortimentu::Konec2Click);
}

QWidget* TPrehledSortimentu::MakeStatusBar() {
  auto* bar = new QWidget;
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 1, 0, 0);
  row->setSpacing(2);
  UserPane = Pane(bar);
  UserPane->setFixedWidth(kUserPaneWidth);
  CapsLockPane = Pane(bar);
  CapsLockPane->setFixedWidth(kLockPaneWidth);
  NumLockPane = Pane(bar);
  NumLockPane->setFixedWidth(kLockPaneWidth);
  ClockPane = Pane(bar);
  row->addWidget(UserPane);
  row->addWidget(CapsLockPane);
  row->addWidget(NumLockPane);
  row->addWidget(ClockPane, 1);
  bar->setFixedHeight(UserPane->sizeHint().height() + 1);
  return bar;
}

// --- commands ---

void TPrehledSortimentu::SetCommand(TMainCommand command, std::function<void()> handler) {
  Slot(command).handler = std::move(handler);
  UpdateCommands();
}

bool TPrehledSortimentu::CommandEnabled(TMainCommand command) const {
  return !running_ && static_cast<bool>(Slot(command).handler);
}

void TPrehledSortimentu::UpdateCommands() {
  for (int i = 0; i < kMainCommandCount; ++i) {
    auto command = static_cast<TMainCommand>(i);
    bool on = CommandEnabled(command);
    if (QPushButton* b = Slot(command).button) b->setEnabled(on);
    if (QAction* a = Slot(command).action) a->setEnabled(on);
  }
  Konec2->setEnabled(!running_);
}

void TPrehledSortimentu::Run(TMainCommand command) {
  if (!CommandEnabled(command)) return;
  // A copy: the handler may set another handler for its own command.
  std::function<void()> handler = Slot(command).handler;
  running_ = true;
  UpdateCommands();
  try {
    handler();
  } catch (const std::exception& e) {
    data_.ui.Error(e.what());
  }
  running_ = false;
  UpdateCommands();
}

// --- handlers ---

void TPrehledSortimentu::FormCreate() { UserPane->setText(QString::fromStdString(data_.UserFullName)); }

void TPrehledSortimentu::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  shift &= ~Qt::KeypadModifier;
  if (key == Qt::Key_F2) Button1Click();
  else if (key == Qt::Key_F4 && shift != Qt::AltModifier) Button3Click();
  else if (key == Qt::Key_F5) Button2Click();
  else if (key == Qt::Key_F7) Button4Click();
}

void TPrehledSortimentu::FormClose() {
  try {
    data_.Skl0000.Close();
    data_.Sor0000.Close();
  } catch (const std::exception& e) {
    data_.ui.Error(e.what());
  }
}

void TPrehledSortimentu::DBNavigator1Exit() {
  if (RefreshTable) RefreshTable(data_.Sor0000);
}

void TPrehledSortimentu::Konec2Click() { close(); }

// --- window events ---

bool TPrehledSortimentu::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) handledKey_ = {};
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    // Once per key press: when it reaches the focused control of this
    // window (or the window itself, when nothing has the focus). The key
    // goes on to the control.
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* focus = QApplication::focusWidget();
    // A press the control does not take travels on to the window; when the
    // command it ran took the focus away (a dialog was shown and closed),
    // the press must not run the command again: it is marked until a
    // key is released.
    auto* key = static_cast<QKeyEvent*>(event);
    const HandledKey press{event, key->key(), key->modifiers()};
    if (!(press == handledKey_) && widget->window() == this && (widget == focus || (!focus && widget == this))) {
      FormKeyDown(key->key(), key->modifiers());
      handledKey_ = press;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TPrehledSortimentu::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  if (QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  DBGrid1->setFocus(Qt::OtherFocusReason);
}

void TPrehledSortimentu::closeEvent(QCloseEvent* event) {
  // Closing while a command works on the tables would pull them away
  // under it.
  if (running_) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

void TPrehledSortimentu::UpdateStatus() {
  KeyboardLocks locks = ReadKeyboardLocks();
  CapsLockPane->setText(locks.known && locks.capsLock ? QStringLiteral("CAPS") : QString());
  NumLockPane->setText(locks.known && locks.numLock ? QStringLiteral("NUM") : QString());
  QString format = QLocale().timeFormat(QLocale::LongFormat);
  format.remove(QLatin1Char('t'));
  ClockPane->setText(QLocale().toString(QTime::currentTime(), format.trimmed()));
}
