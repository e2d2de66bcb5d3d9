#pragma once
// The commands of the main window that the program has, wired to their
// implementations; the others stay off until theirs exist.

class TData;
class TPrehledSortimentu;

// The navigator's refresh re-reads Sor0000 from the shared file; "Indexace
// sortimentu" runs the index rebuild of the data module, after which the
// grid shows Sor0000 again in its former order.
void ConnectMainCommands(TPrehledSortimentu& window, TData& data);
