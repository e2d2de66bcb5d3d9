#include "xbase/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "dbf_writer.h"
#include "support/temp_dir.h"

TEST(FileNames, DosPathsFindFilesWhateverTheirCase) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("Data/Prod1"));
  CreateTable(dir.File("Data/Prod1/Sor0001.dbf"), {{"SOR_KAV", 'C', 6}});
  SetDriveMap({{'f', dir.Path()}});
  const std::string expected = dir.File("Data/Prod1/Sor0001.dbf");
  struct Case { std::string text; };
  for (const Case& c : {Case{"F:\\DATA\\PROD1\\SOR0001.DBF"}, Case{"f:\\data\\prod1\\sor0001.dbf"},
                        Case{dir.Path() + "/DATA/prod1/SOR0001.DBF"}, Case{dir.Path() + "\\Data\\Prod1\\Sor0001.dbf"}}) {
    EXPECT_EQ(ResolveFileName(c.text), expected) << c.text;
  }
  // A name that matches nothing comes back as written, for the error message.
  EXPECT_EQ(ResolveFileName(dir.Path() + "/Data/NONE.DBF"), dir.Path() + "/Data/NONE.DBF");
  SetDriveMap({});
  EXPECT_EQ(TableBaseName("/x/y/Sor0001.dbf"), "SOR0001");
}
