#pragma once
// The main window's "F2 Nový" and "F4 Oprava": the card editor is filled,
// shown over `mainWindow`, and on "Zapiš" the card (and a new card's first
// variant "01") is written into the master tables. An error while writing
// is shown with its own text and the record that was not posted is
// cancelled, so nothing half-filled stays in edit or insert state; what was
// posted until then stays written.

class QWidget;
class TData;

void NewCardCommand(TData& data, QWidget* mainWindow);
// Changes the card that is current in Sor0000, locked with retries between
// "Zapiš" and the post; the number, the VAT rate and the stock fields are
// never written.
void EditCardCommand(TData& data, QWidget* mainWindow);
