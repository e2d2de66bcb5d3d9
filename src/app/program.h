#pragma once
// The program's run, in order: the application title "Tamorix"; the
// controls' locale settings from the system locale; the table objects'
// aliases from /etc/xbase.cfg; the drive letters of DataSor.ini's section
// "Disky"; the data module with its start-up (which may ask the program to
// end); the main window with the commands the program has; then the event
// loop until the main window closes (at once when the end was asked for).

#include <functional>

class TPrehledSortimentu;

// Runs the program inside the QApplication that exists and returns its exit
// code. `shown`, when given, runs once the main window is shown, from the
// event loop (a tool's hook, e.g. a screenshot).
int RunProgram(const std::function<void(TPrehledSortimentu&)>& shown = {});
