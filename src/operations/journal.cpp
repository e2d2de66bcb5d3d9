#include "operations/journal.h"

#include <cmath>
#include <exception>

#include "data/data_module.h"
#include "operations/store_keys.h"

TJournal::TJournal(TData& data, TTimeSettings time) : data_(data), time_(std::move(time)) {}

void TJournal::OpenTables() {
  for (TDbfTable* t : {&data_.Sortiment, &data_.Denik, &data_.Sklad})
    if (!t->Active()) t->Open();
}

bool TJournal::ZapisSleva(const std::string& kav, const std::string& ind, const std::string& document,
                          const std::string& operation, float value, float vat) {
  TDbfTable& cards = data_.Sortiment;
  TDbfTable& variants = data_.Sklad;
  TDbfTable& journal = data_.Denik;
  TableStateSaver saved({&variants, &journal, &cards});
  bool result = false;
  bool cardLocked = false;
  try {
    OpenTables();
    cards.SelectTag("KAV");
    journal.SelectTag("KAV");
    variants.SelectTag("KAV");
    if (cards.SeekKey(CardKey(kav), true, false) && data_.LockRecordWithRetry(cards)) {
      cardLocked = true;
      const std::string key = VariantKey(kav, ind);
      if (variants.SeekKey(key, true, false)) {
        // The stock must agree with the last journal row (halves to even).
        int64_t stock = variants.FieldByName("SKL_STA").AsInteger();
        int64_t last = 0;
        if (journal.SeekLastKey(key, true, false))
          last = static_cast<int64_t>(std::nearbyint(journal.FieldByName("DEN_ZAS").AsFloat()));
        if (stock != last) RekonstrukceKarty(kav);
        result = WriteRow(kav, ind, document, operation, value, vat);
      }
      cards.UnlockRecords();
      cardLocked = false;
    }
  } catch (const std::exception&) {
    result = false;
    AbandonEdit(cards);
    if (cardLocked) QuietUnlock(cards);
  }
  saved.Restore();
  return result;
}

bool TJournal::WriteRow(const std::string& kav, const std::string& ind, const std::string& document,
                        const std::string& operation, float value, float vat) {
  TDbfTable& variants = data_.Sklad;
  TDbfTable& journal = data_.Denik;
  TDbfTable& counter = data_.Ciselnik;
  bool variantLocked = false;
  try {
    if (!data_.LockRecordWithRetry(variants)) {
      RekonstrukceKarty(kav);
      return false;
    }
    variantLocked = true;
    // The stock the row reports is the one the file holds under the lock: a
    // shop may have booked a sale between the seek and the lock.
    variants.SetRecNo(variants.RecNo());
    counter.Open();
    if (!data_.LockRecordWithRetry(counter)) {
      counter.Close();
      variants.UnlockRecords();
      return false;
    }
    counter.Edit();
    TField& number = counter.FieldByName("CIS_DEN");
    number.SetAsInteger(number.AsInteger() + 1);
    counter.Post();
    const int64_t row = number.AsInteger();

    journal.Append();
    journal.FieldByName("DEN_RAD").SetAsInteger(row);
    // The counter row is held only until the journal row has its number.
    counter.UnlockRecords();
    counter.Close();
    TClockReading now = time_.Now();
    journal.FieldByName("DEN_DAT").SetAsDate(now.date);
    journal.FieldByName("DEN_KDY").SetAsString(TimeStamp5(time_, now));
    journal.FieldByName("DEN_KAV").SetAsString(kav);
    journal.FieldByName("DEN_IND").SetAsString(ind);
    journal.FieldByName("DEN_OPE").SetAsString(operation);
    journal.FieldByName("DEN_KUS").SetAsInteger(0);
    journal.FieldByName("DEN_HPC").SetAsFloat(static_cast<double>(value));
    journal.FieldByName("DEN_HNC").SetAsFloat(0);
    journal.FieldByName("DEN_DOK").SetAsString(document);
    journal.FieldByName("DEN_DAN").SetAsFloat(static_cast<double>(vat));
    journal.FieldByName("DEN_ZAS").SetAsFloat(static_cast<double>(variants.FieldByName("SKL_STA").AsInteger() + 0));
    journal.FieldByName("DEN_REF").SetAsString(data_.UserInitials);
    journal.Post();
    ++rowsWritten;
    variants.UnlockRecords();
    return true;
  } catch (const std::exception&) {
    // An unposted row is dropped; the counter row, if still held, goes
    // with its table.
    AbandonEdit(journal);
    try {
      AbandonEdit(counter);
      counter.Close();
    } catch (const std::exception&) {
    }
    if (variantLocked) QuietUnlock(variants);
    RekonstrukceKarty(kav);
    return false;
  }
}

bool TJournal::RekonstrukceKarty(const std::string& kav) {
  TDbfTable& cards = data_.Sortiment;
  TDbfTable& variants = data_.Sklad;
  TDbfTable& journal = data_.Denik;
  Ui& ui = data_.ui;
  TableStateSaver saved({&variants, &journal, &cards});
  bool result = false;
  bool cardLocked = false;
  bool busy = false;
  try {
    OpenTables();
    cards.SelectTag("KAV");
    if (cards.SeekKey(CardKey(kav), true, false)) {
      if (!data_.LockRecordWithRetry(cards)) {
        result = true;
      } else {
        cardLocked = true;
        variants.SelectTag("KAV");
        variants.SetKeyRange(CardKey(kav) + "000", CardKey(kav) + "999");
        variants.First();
        int64_t total = 0;
        while (!variants.Eof()) {
          const std::string key =
              VariantKey(variants.FieldByName("SKL_KAV").AsString(), variants.FieldByName("SKL_IND").AsString());
          int64_t running = variants.FieldByName("SKL_POC").AsInteger();
          journal.SelectTag("KAV");
          journal.SetKeyRange(key, key);
          ui.SetBusyCursor(true);
          busy = true;
          long count = 0;
          for (journal.First(); !journal.Eof(); journal.Next()) ++count;
          journal.First();
          data_.ProgressWindow = ui.CreateProgressWindow();
          data_.ProgressWindow->SetCaption("Rekonstrukce skladové karty");
          data_.ProgressWindow->SetDescription("Název sortimentu ");
          data_.ProgressWindow->SetLabel(cards.FieldByName("SOR_NAC").AsString());
          data_.ProgressWindow->Show();
          long n = 0;
          while (!journal.Eof()) {
            running += journal.FieldByName("DEN_KUS").AsInteger();
            ++n;
            data_.ProgressWindow->SetPosition(static_cast<int>(std::nearbyint(100.0 * n / count)));
            ui.ProcessEvents();
            journal.Next();
          }
          data_.ProgressWindow->Close();
          data_.ProgressWindow.reset();
          if (running != variants.FieldByName("SKL_STA").AsInteger()) {
            // A variant that cannot be changed keeps its stock.
            bool locked = false;
            try {
              locked = data_.LockRecordWithRetry(variants);
              if (locked) {
                // The shops book a movement and its stock under this lock,
                // so the stock and the journal read again under it agree
                // with each other; the sum counted before the lock may miss
                // a sale booked while the lock was awaited, and writing it
                // would undo that sale.
                variants.Edit();
                running = variants.FieldByName("SKL_POC").AsInteger();
                for (journal.First(); !journal.Eof(); journal.Next())
                  running += journal.FieldByName("DEN_KUS").AsInteger();
                if (running != variants.FieldByName("SKL_STA").AsInteger()) {
                  variants.FieldByName("SKL_STA").SetAsInteger(running);
                  variants.Post();
                } else {
                  variants.Cancel();
                  variants.UnlockRecords();  // the edit's own level: a cancel keeps it
                }
              }
              variants.UnlockRecords();
            } catch (const std::exception&) {
              AbandonEdit(variants);
              if (locked) QuietUnlock(variants);
            }
          }
          total += variants.FieldByName("SKL_STA").AsInteger();
          variants.Next();
        }
        cards.Edit();
        cards.FieldByName("SOR_STA").SetAsInteger(total);
        cards.Post();
        variants.SetKeyRange("", "");
        journal.SetKeyRange("", "");
        ui.SetBusyCursor(false);
        busy = false;
        cards.UnlockRecords();
        cardLocked = false;
        ++cardsRebuilt;
        result = true;
      }
    }
  } catch (const std::exception&) {
    result = false;
    if (data_.ProgressWindow) {
      data_.ProgressWindow->Close();
      data_.ProgressWindow.reset();
    }
    AbandonEdit(variants);
    AbandonEdit(cards);
    if (cardLocked) QuietUnlock(cards);
  }
  if (busy) ui.SetBusyCursor(false);
  saved.Restore();
  return result;
}
