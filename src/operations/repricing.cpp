#include "operations/repricing.h"

#include <cerrno>
#include <cstdlib>
#include <exception>

#include "data/data_module.h"
#include "data/text_functions.h"
#include "operations/journal.h"
#include "operations/store_keys.h"
#include "xbase/errors.h"

namespace {

// The counter's text as a whole number; the conversion error of the
// desktop's number reading otherwise.
int64_t CounterValue(const std::string& text) {
  std::string t = TrimBlanks(text);
  errno = 0;
  char* end = nullptr;
  long long v = t.empty() ? 0 : std::strtoll(t.c_str(), &end, 10);
  if (t.empty() || *end != '\0' || errno == ERANGE)
    throw Exception("'" + t + "' is not a valid integer value");
  return v;
}

const char* const kNewPrice[] = {"PRP_PC1", "PRP_PC2", "PRP_PC3", "PRP_PC4", "PRP_PC5"};
const char* const kOldPrice[] = {"PRP_PS1", "PRP_PS2", "PRP_PS3", "PRP_PS4", "PRP_PS5"};
const char* const kCardPrice[] = {"SOR_PC1", "SOR_PC2", "SOR_PC3", "SOR_PC4", "SOR_PC5"};

}  // namespace

TRepricing::TRepricing(TData& data, TJournal& journal) : data_(data), journal_(journal) {}

void TRepricing::StartStore() {
  open_ = false;
  number_.clear();
}

bool TRepricing::OpenDocument() {
  TDbfTable& counter = data_.Ciselnik;
  TDbfTable& headers = data_.PrecHlav;
  TDbfTable& items = data_.PrecPol;
  counter.Open();
  if (data_.LockRecordWithRetry(counter)) {
    try {
      counter.Edit();
      TField& last = counter.FieldByName("CIS_PRC");
      int64_t next = CounterValue(last.AsString()) + 1;
      last.SetAsString(std::to_string(next));
      headers.Append();
      headers.FieldByName("PRH_DO1").SetAsString(PadZerosLeft(std::to_string(next), 10));
      std::string number = headers.FieldByName("PRH_DO1").AsString();
      headers.FieldByName("PRH_DAT").SetAsDate(journal_.Time().Now().date);
      headers.Post();
      if (!data_.LockRecordWithRetry(headers)) throw EDatabaseError("Record is locked by another user");
      headers.Edit();
      open_ = true;
      number_ = number;
      ++documentsOpened;
      counter.Post();
      items.SelectTag("DO1");
      items.SetKeyRange(number_, number_);
      items.First();
    } catch (...) {
      AbandonEdit(headers);
      AbandonEdit(counter);
      QuietUnlock(counter);
      counter.Close();
      throw;
    }
  }
  counter.UnlockRecords();
  counter.Close();
  return open_;
}

void TRepricing::ResumeDocument() {
  TDbfTable& headers = data_.PrecHlav;
  // The header is held by this program for the whole store: a failed lock
  // means it was lost, and the edit must not go on without it.
  if (!data_.LockRecordWithRetry(headers)) throw EDatabaseError("Record is locked by another user");
  headers.Edit();
}

bool TRepricing::PrecenKartu(const std::string& document, const std::string& kav, double price1, double price2,
                             double price3, double price4, double price5) {
  TDbfTable& cards = data_.Sortiment;
  TDbfTable& variants = data_.Sklad;
  TDbfTable& items = data_.PrecPol;
  TDbfTable& headers = data_.PrecHlav;
  const double prices[5] = {price1, price2, price3, price4, price5};
  bool result = true;
  variants.SelectTag("KAV");
  variants.First();
  cards.SelectTag("KAV");
  if (!cards.SeekKey(CardKey(kav), true, false)) return result;
  if (!data_.LockRecordWithRetry(cards)) return result;
  try {
    variants.SelectTag("KAV");
    bool found = variants.SeekKey(CardKey(kav), false, false);
    while (found && variants.FieldByName("SKL_KAV").AsString() == kav && !variants.Eof()) {
      std::string ind = variants.FieldByName("SKL_IND").AsString();
      double stockBefore = static_cast<double>(variants.FieldByName("SKL_STA").AsInteger());
      double change = stockBefore * (price1 - cards.FieldByName("SOR_PC1").AsFloat());
      float vat = static_cast<float>(cards.FieldByName("SOR_DAN").AsFloat());
      if (journal_.ZapisSleva(kav, ind, document, "010", static_cast<float>(change), vat)) {
        items.Append();
        items.FieldByName("PRP_KAV").SetAsString(kav);
        items.FieldByName("PRP_IND").SetAsString(ind);
        items.FieldByName("PRP_DO1").SetAsString(document);
        items.FieldByName("PRP_KUS").SetAsFloat(static_cast<double>(variants.FieldByName("SKL_STA").AsInteger()));
        TClockReading now = journal_.Time().Now();
        items.FieldByName("PRP_DAT").SetAsDate(now.date);
        items.FieldByName("PRP_KDY").SetAsString(TimeStamp5(journal_.Time(), now));
        items.FieldByName("PRP_DPH").SetAsFloat(cards.FieldByName("SOR_DAN").AsFloat());
        for (int k = 0; k < 5; ++k) items.FieldByName(kOldPrice[k]).SetAsFloat(cards.FieldByName(kCardPrice[k]).AsFloat());
        for (int k = 0; k < 5; ++k) items.FieldByName(kNewPrice[k]).SetAsFloat(prices[k]);
        items.FieldByName("PRP_ZPC").SetAsFloat(change);
        items.Post();
        ++itemsWritten;
        headers.Edit();
        TField& sum = headers.FieldByName("PRH_ZPC");
        sum.SetAsFloat(sum.AsFloat() + items.FieldByName("PRP_ZPC").AsFloat());
        headers.Post();
        headers.Edit();
      } else {
        result = false;
      }
      variants.Next();
    }
    cards.Edit();
    for (int k = 0; k < 5; ++k) cards.FieldByName(kCardPrice[k]).SetAsFloat(prices[k]);
    cards.FieldByName("SOR_SKL").SetAsBoolean(true);
    cards.Post();
    cards.UnlockRecords();
    ++cardsRepriced;
  } catch (...) {
    AbandonEdit(items);
    AbandonEdit(cards);
    QuietUnlock(cards);
    throw;
  }
  return result;
}
