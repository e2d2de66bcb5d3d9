#include "screens/code_family.h"

#include <array>

namespace {

std::array<TCodeFamilyMember, 5> Family() {
  return {{
      {TCodeTable::Groups, "SortiSkup", "SSK_SKU", "TPrehledSkupSorti", "Přehled skupin sortimentu",
       {{"SSK_SKU", 0}, {"SSK_NAC", 182}, {"SSK_PRO", 0}}, true, true, true, "TSortiSkupEdit",
       "Editace položky skupiny",
       {{"Kód skupiny", "SSK_SKU", 41}, {"Název skupiny", "SSK_NAC", 153}, {"Sazba  provize v %", "SSK_PRO", 57}},
       TCodeCheck::Always, true, true},
      {TCodeTable::Kinds, "SortiDruh", "SDR_SKU", "TPrehledDruhSort", "Druhy sortimentu",
       {{"SDR_SKU", 0}, {"SDR_NAC", 217}}, false, true, false, "TDruhSortiEdit", "Editace druhu sortimentu",
       {{"Číselný kod druhu", "SDR_SKU", 33}, {"Název druhu", "SDR_NAC", 121}}, TCodeCheck::UnlessCancelling, true,
       true},
      {TCodeTable::Subgroups, "SortiPodSkp", "SPK_SKU", "TPrehledPodSkSort", "Podskupiny sortimentu",
       {{"SPK_SKU", 49}, {"SPK_NAC", 205}}, false, true, false, "TSortiPskEdit", "Editace položky podskupiny",
       {{"Kód poskupiny sortimentu", "SPK_SKU", 41}, {"Název podskupiny", "SPK_NAC", 153}}, TCodeCheck::Always, true,
       false},
      {TCodeTable::Makers, "SortiVyrobce", "SVR_CIS", "TPrehledVyrobci", "Přehled výrobců",
       {{"SVR_CIS", 34}, {"SVR_NAC", 210}}, false, true, true, "TSortiVyrobceEdit", "Editace položky výrobce",
       {{"Kód výrobce", "SVR_CIS", 41}, {"Název výrobce", "SVR_NAC", 153}}, TCodeCheck::None, false, false},
      {TCodeTable::Units, "MjeJed", "MJE_TYP", "TPrehledMje", "Přehled měr.jednotek",
       {{"MJE_TYP", 0}, {"MJE_NAC", 0}}, true, false, false, "", "", {}, TCodeCheck::None, false, false},
  }};
}

}  // namespace

const TCodeFamilyMember& CodeFamilyMember(TCodeTable table) {
  static const std::array<TCodeFamilyMember, 5> family = Family();
  return family[static_cast<size_t>(table)];
}
