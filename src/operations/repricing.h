#pragma once
// Repricing documents of a store: a header row in PrecHlav, one item row per
// variant in PrecPol and a journal row (operation "010") per item, numbered
// from the store's counter CIS_PRC. A document lives for one store in one
// run of the transfer: its header stays locked and in edit, every change of
// it posted at once.

#include <string>

class TData;
class TJournal;

class TRepricing {
 public:
  TRepricing(TData& data, TJournal& journal);

  // Forgets the document of the previous store (at the start of each store).
  void StartStore();
  bool DocumentOpen() const { return open_; }
  // The open document's number (10 digits), empty when none is open.
  const std::string& DocumentNumber() const { return number_; }

  // Opens a document in the current store: CIS_PRC + 1 (read as a number,
  // written back without leading zeros), a header with that number padded
  // to 10 digits and today's date, locked and in edit; PrecPol limited to
  // the document. False when the counter row could not be locked (after the
  // lock message). A counter that holds no number raises the conversion
  // error; a header that cannot be locked raises the table layer's error.
  bool OpenDocument();
  // Locks the open header again and puts it into edit, before a further card
  // of the store is repriced; the lock error of the table layer when the
  // header cannot be locked.
  void ResumeDocument();

  // Reprices the card `kav` of the store within the open document: per
  // store variant a journal row and, when it was written, an item with the
  // old and new prices and the change of value on price 1 (stock before the
  // row x price difference), added to PRH_ZPC; then the card's five prices
  // and SOR_SKL. False when a journal row failed; true otherwise, also when
  // the card is not in the store or could not be locked.
  bool PrecenKartu(const std::string& document, const std::string& kav, double price1, double price2,
                   double price3, double price4, double price5);

  // Counted since the object was made.
  int cardsRepriced = 0;
  int itemsWritten = 0;
  int documentsOpened = 0;

 private:
  TData& data_;
  TJournal& journal_;
  bool open_ = false;
  std::string number_;
};
