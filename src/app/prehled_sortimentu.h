#pragma once
// TPrehledSortimentu: the main window. It shows the master catalogue
// (Sor0000, one row per card) in the table's current order and position and
// launches every command: from the toolbar buttons, the menu and the key map
// F2 (new card), F4 (edit card; not Alt+F4, which closes the window), F5
// (search) and F7 (variants); F10 is a button only.
//
// Commands are run through handlers that their screens and operations set
// with SetCommand; a command without a handler is shown but off. While one
// command runs, the others (and closing the window) are off; the command
// lets events run, so the window keeps painting. An error a command does not
// handle ends it and is shown with its own text.

#include <QMainWindow>
#include <array>
#include <functional>

#include "controls/data_source.h"

class QAction;
class QLabel;
class QPushButton;
class QTimer;
class TData;
class TDbfTable;
class TDBGrid;
class TDBNavigator;

enum class TMainCommand {
  NewCard,          // Button1 "F2 Nový", F2
  EditCard,         // Button3 "F4 Oprava", F4
  Search,           // Button2 "F5 Hledej", F5
  Variants,         // Button4 "F7 Varianty", F7
  Transfer,         // Button5 "F10 Přenos"
  RebuildIndexes,   // "Nastavení" / "Indexace sortimentu"
  KindsList,        // "Nastavení" / "Druhy sortimnetu"
  GroupsList,       // "Nastavení" / "Skupiny sortimentu"
  ImportVariants,   // "Nastavení" / "Import nových variant"
  StockReport,      // "Sestavy" / "Celková sestava aktualní zásoby na skladě"
};
inline constexpr int kMainCommandCount = 10;

class TPrehledSortimentu : public QMainWindow {
  Q_OBJECT

 public:
  explicit TPrehledSortimentu(TData& data, QWidget* parent = nullptr);
  ~TPrehledSortimentu() override;

  // Sets the handler of a command; with a handler the command is on.
  void SetCommand(TMainCommand command, std::function<void()> handler);
  bool CommandEnabled(TMainCommand command) const;
  // True while a command runs.
  bool CommandRunning() const { return running_; }
  // Runs the command when it is on.
  void Run(TMainCommand command);

  // Re-reads the current record of Sor0000 from the shared file; the
  // navigator calls it when it loses the focus.
  std::function<void(TDbfTable&)> RefreshTable;

  // Handlers of the window.
  void FormCreate();
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void FormClose();
  void DBNavigator1Exit();
  void Button1Click() { Run(TMainCommand::NewCard); }
  void Button2Click() { Run(TMainCommand::Search); }
  void Button3Click() { Run(TMainCommand::EditCard); }
  void Button4Click() { Run(TMainCommand::Variants); }
  void Button5Click() { Run(TMainCommand::Transfer); }
  void Indexacesortimentu1Click() { Run(TMainCommand::RebuildIndexes); }
  void Druhysortimnetu1Click() { Run(TMainCommand::KindsList); }
  void Skupinysortimentu1Click() { Run(TMainCommand::GroupsList); }
  void Importnovchvariant1Click() { Run(TMainCommand::ImportVariants); }
  void Celkovsestavazsobynasklad1Click() { Run(TMainCommand::StockReport); }
  void Konec2Click();

  // Components.
  TDataSource DataSor0000;
  TDBNavigator* DBNavigator1;
  QPushButton *Button1, *Button2, *Button3, *Button4, *Button5;
  TDBGrid* DBGrid1;
  QLabel *UserPane, *CapsLockPane, *NumLockPane, *ClockPane;
  QAction *Indexacesortimentu1, *Druhysortimnetu1, *Skupinysortimentu1, *Importnovchvariant1,
      *Celkovsestavazsobynasklad1, *Konec2;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Command {
    std::function<void()> handler;
    QPushButton* button = nullptr;
    QAction* action = nullptr;
  };
  Command& Slot(TMainCommand command) { return commands_[static_cast<size_t>(command)]; }
  const Command& Slot(TMainCommand command) const { return commands_[static_cast<size_t>(command)]; }
  QWidget* MakeToolbar();
  void MakeMenu();
  QWidget* MakeStatusBar();
  void UpdateCommands();
  void UpdateStatus();

  TData& data_;
  std::array<Command, kMainCommandCount> commands_;
  bool running_ = false;
  bool shown_ = false;
  // The key press handled last, until a key is released.
  struct HandledKey {
    const QEvent* event = nullptr;
    int key = 0;
    Qt::KeyboardModifiers shift;
    bool operator==(const HandledKey&) const = default;
  } handledKey_;
  QTimer* clock_;
};
