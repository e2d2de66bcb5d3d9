// What the index commands share: their command line, and opening the table
// and index files without the table object.

#include <filesystem>

#include "commands.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/file_names.h"

bool IsIndexCommand(int argc, char** argv) {
  if (argc < 2) return false;
  std::string command = argv[1];
  return command == "check" || command == "reindex" || command == "repair";
}

bool ParseIndexArgs(int argc, char** argv, IndexArgs& a) {
  if (!IsIndexCommand(argc, argv)) return false;
  a.command = argv[1];
  bool reindex = a.command == "reindex";
  std::vector<std::string> positional;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--exclusive") a.exclusive = true;
    else if (arg == "--index" && !reindex && i + 1 < argc) a.index = argv[++i];
    else if (arg == "--tree" && a.command == "check") a.tree = true;
    else if (arg == "--for" && reindex && i + 1 < argc) a.filter = argv[++i];
    else if (arg == "--unique" && reindex) a.unique = true;
    else if (arg == "--descending" && reindex) a.descending = true;
    else if (arg.rfind("--", 0) == 0) return false;
    else positional.push_back(arg);
  }
  // check FILE; check --tree DIR; repair FILE; reindex FILE INDEX TAG EXPR
  if (positional.size() != (reindex ? 4u : 1u)) return false;
  if (a.tree && (!a.index.empty() || a.exclusive)) return false;
  a.file = positional[0];
  if (reindex) {
    a.index = positional[1];
    a.tag = positional[2];
    a.expr = positional[3];
  }
  return true;
}

void OpenTableFile(XbDbfFile& table, const IndexArgs& a, bool writable) {
  XbDbfFile::Options options;
  options.shared = !a.exclusive;
  options.writable = writable;
  options.protocol = TXbLockProtocol::ClipLock;  // the shops' programs' index locks
  table.Open(a.file, options);
}

std::string IndexFilePath(const XbDbfFile& table, const std::string& name) {
  std::filesystem::path tablePath(table.FileName());
  if (name.empty()) return ResolveCase(std::filesystem::path(tablePath).replace_extension(".cdx").string());
  std::string path = NativePath(name);
  if (!HasExtension(path)) path += ".cdx";
  if (path.find('/') == std::string::npos) path = (tablePath.parent_path() / path).string();
  return ResolveFileName(path);
}

XbKeySourceFactory TolerantKeySources(const XbDbfFile& table, std::map<std::string, std::string>* failures) {
  XbKeySourceFactory strict = ExpressionKeySources(table);
  return [strict, failures](const std::string& keyExpr, const std::string& filterExpr) {
    try {
      return strict(keyExpr, filterExpr);
    } catch (const EDbfExpression& e) {
      if (failures) (*failures)[keyExpr + '\n' + filterExpr] = e.what();
      return std::unique_ptr<XbKeySource>();
    }
  };
}
