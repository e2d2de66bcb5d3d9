#include "shop_day.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <random>

#include "data/data_module.h"
#include "data/quiet_ui.h"
#include "operations/store_keys.h"
#include "shop_log.h"
#include "xbase/date.h"
#include "xbase/platform.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string Pad(long value, int width) {
  std::string s = std::to_string(value);
  return std::string(s.size() < static_cast<size_t>(width) ? width - s.size() : 0, '0') + s;
}

class ShopDay {
 public:
  explicit ShopDay(const ShopDayOptions& o) : o_(o), rng_(o.seed), log_(o.logFile), data_(ui_) {
    struct Binding {
      TDbfTable& table;
      const char* file;
      const char* index;
    };
    const Binding bindings[] = {{data_.Sortiment, "Sor", "Sor"},
                                {data_.Sklad, "Skl", "Skl"},
                                {data_.Denik, "Den", "DEN"},
                                {data_.Ciselnik, "Cis", nullptr}};
    for (const Binding& b : bindings) {
      b.table.SetDatabaseName(o.dir);
      b.table.SetTableName(b.file + o.code + ".dbf");
      b.table.Open();
      if (b.index) b.table.OpenIndexFile(o.dir + b.index + o.code + ".cdx");
    }
    data_.Sortiment.SelectTag("KAV");
    data_.Sklad.SelectTag("KAV");
    data_.Denik.SelectTag("KAV");
    data_.Ciselnik.First();
    cards_ = data_.Sortiment.RecordCount();
    variants_ = data_.Sklad.RecordCount();
    log_.Line("# store " + o.code + " sim " + std::to_string(o.simId) + " seed " + std::to_string(o.seed));
  }

  long Run() {
    long done = 0;
    while (done < o_.operations && !Exists(o_.stopFile)) {
      unsigned pick = rng_() % 100;
      try {
        if (pick < 75) Sale();
        else if (pick < 95) CardEdit();
        else Hold(pick);
      } catch (const std::exception& e) {
        // The step is given up as a shop program gives it up: nothing stays
        // in edit, nothing stays locked.
        for (TDbfTable* t : {&data_.Denik, &data_.Ciselnik, &data_.Sklad, &data_.Sortiment}) {
          AbandonEdit(*t);
          QuietUnlock(*t);
        }
        log_.Line(std::string("X error ") + e.what());
      }
      ++done;
      if (o_.pauseMillis > 0) Platform().Pause(o_.pauseMillis);
    }
    return done;
  }

 private:
  long RandomRecord(long count) { return 1 + static_cast<long>(rng_() % static_cast<unsigned long>(count)); }

  // One movement of goods: under the variant's lock the journal row takes
  // the next number from the counter row, then the variant's stock follows.
  void Sale() {
    TDbfTable& variants = data_.Sklad;
    TDbfTable& counter = data_.Ciselnik;
    TDbfTable& journal = data_.Denik;
    if (variants_ == 0) return;
    long recno = o_.hotVariants > 0 && rng_() % 2 == 0 ? RandomRecord(std::min<long>(o_.hotVariants, variants_))
                                                      : RandomRecord(variants_);
    variants.SetRecNo(recno);
    if (!data_.LockRecordWithRetry(variants)) {
      log_.Line("X variant " + std::to_string(recno));
      return;
    }
    variants.Edit();  // read again under the lock
    const std::string kav = variants.FieldByName("SKL_KAV").AsString();
    const std::string ind = variants.FieldByName("SKL_IND").AsString();
    const int64_t before = variants.FieldByName("SKL_STA").AsInteger();
    const bool receipt = rng_() % 4 == 0;
    const int64_t kus = receipt ? static_cast<int64_t>(1 + rng_() % 10) : -static_cast<int64_t>(1 + rng_() % 3);
    if (!data_.LockRecordWithRetry(counter)) {
      variants.Cancel();
      variants.UnlockRecords();
      log_.Line("X counter");
      return;
    }
    counter.Edit();
    TField& number = counter.FieldByName("CIS_DEN");
    const int64_t rad = number.AsInteger() + 1;
    number.SetAsInteger(rad);
    counter.Post();
    const std::string dok = "S" + Pad(o_.simId, 2) + Pad(++sequence_, 7);
    journal.Append();
    journal.FieldByName("DEN_RAD").SetAsInteger(rad);
    journal.FieldByName("DEN_DAT").SetAsDate(XbDate::Today());
    journal.FieldByName("DEN_KDY").SetAsString(receipt ? "08:15" : "15:40");
    journal.FieldByName("DEN_DOK").SetAsString(dok);
    journal.FieldByName("DEN_KAV").SetAsString(kav);
    journal.FieldByName("DEN_IND").SetAsString(ind);
    journal.FieldByName("DEN_OPE").SetAsString(receipt ? "001" : "002");
    journal.FieldByName("DEN_KUS").SetAsInteger(kus);
    journal.FieldByName("DEN_ZAS").SetAsFloat(static_cast<double>(before + kus));
    journal.FieldByName("DEN_REF").SetAsString("SM");
    journal.Post();
    counter.UnlockRecords();
    log_.Line("J " + dok + " " + kav + " " + ind + " " + std::to_string(kus) + " " + std::to_string(before) + " " +
              std::to_string(before + kus) + " " + std::to_string(rad));
    variants.FieldByName("SKL_STA").SetAsInteger(before + kus);
    variants.Post();
    variants.UnlockRecords();
    log_.Line("S " + dok + " " + std::to_string(before + kus));
  }

  // The store's own fields of a card, which the transfer never writes.
  void CardEdit() {
    TDbfTable& cards = data_.Sortiment;
    if (cards_ == 0) return;
    cards.SetRecNo(RandomRecord(cards_));
    if (!data_.LockRecordWithRetry(cards)) {
      log_.Line("X card");
      return;
    }
    cards.Edit();
    const std::string kav = cards.FieldByName("SOR_KAV").AsString();
    const int64_t req = static_cast<int64_t>(rng_() % 1000), maj = static_cast<int64_t>(rng_() % 1000);
    cards.FieldByName("SOR_REQ").SetAsInteger(req);
    cards.FieldByName("SOR_MAJ").SetAsInteger(maj);
    cards.Post();
    cards.UnlockRecords();
    log_.Line("C " + kav + " " + std::to_string(req) + " " + std::to_string(maj));
  }

  // A cashier leaves a record open on the screen for a moment: the counter
  // row half of the time, else a card or a variant.
  void Hold(unsigned pick) {
    TDbfTable* table = &data_.Ciselnik;
    std::string what = "counter";
    if (pick % 4 == 0 && cards_ > 0) {
      table = &data_.Sortiment;
      table->SetRecNo(RandomRecord(cards_));
      what = "card";
    } else if (pick % 4 == 1 && variants_ > 0) {
      table = &data_.Sklad;
      table->SetRecNo(RandomRecord(variants_));
      what = "variant";
    }
    if (!table->LockCurrentRecord()) {
      log_.Line("X hold " + what);
      return;
    }
    Platform().Pause(o_.holdMillis);
    table->UnlockRecords();
    log_.Line("H " + what + " " + std::to_string(o_.holdMillis));
  }

  const ShopDayOptions& o_;
  std::mt19937 rng_;
  ShopLogWriter log_;
  QuietUi ui_;
  TData data_;
  long cards_ = 0, variants_ = 0, sequence_ = 0;
};

}  // namespace

long RunShopDay(const ShopDayOptions& options) { return ShopDay(options).Run(); }
