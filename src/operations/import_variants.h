#pragma once
// The import of new variants ("Nastavení" / "Import nových variant"): for
// every variant of the import set (Skl0001 and Sor0001 with Sor0001.cdx in
// ImportPath) whose card is both in the import card table and in the master
// catalogue, the master card takes the import card's five sale prices, and
// the variant is appended to the master variant table when the master does
// not have it yet. Nothing is written to the import set, no store table is
// touched.

class TData;

// Runs the import with the data module's table objects. The browse view of
// Sor0000 is detached for the run (its controls disabled) and attached
// again at the end; Skl0000 is opened with its index file Skl + StoreCode in
// DataPath (tag KAV) and closed at the end; Sor0000 stays in tag KAV. Sklad
// and Sortiment stay pointed at ImportPath with the files Skl0001 and
// Sor0001, closed.
//
// Every failure inside the import (a file, index file or tag missing, a
// master card locked by another program, a write error) stops it with the
// one message "Nepodařilo se sklad otevřít"; what was posted before stays,
// and a master row whose write failed is not left in edit. Opening Skl0000
// or selecting the tag on Sor0000 before the import raises the table
// layer's error to the caller.
void ImportNewVariants(TData& data);
