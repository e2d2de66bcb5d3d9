#pragma once
// Showing the variants of the card that is current in Sor0000 (the main
// window's "F7 Varianty" and the card editor's "Varianty NC "): the variant
// table is opened with its index file DataPath/Skl<store code>.cdx, limited
// to the keys card + "000" to card + "999", the list is shown over `over`,
// and the range, the index file and the table are let go again, also when
// the list ended with an error.

class QWidget;
class TData;

void ShowCardVariants(TData& data, QWidget* over);
