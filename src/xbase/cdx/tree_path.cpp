#include "xbase/cdx/tree_path.h"

#include "xbase/cdx/cdx_file.h"

namespace cdx {

void PushNode(const XbCdxFile& file, const KeyFormat& format, std::vector<PathStep>& path, uint32_t offset) {
  if (path.size() >= kMaxDepth) file.Corrupted();
  for (const PathStep& s : path)
    if (s.Node().offset == offset) file.Corrupted();
  path.push_back(PathStep{file.ReadSharedNode(offset, format), std::nullopt, 0});
}

void PushNode(const XbCdxFile& file, const KeyFormat& format, std::vector<SharedStep>& path, uint32_t offset) {
  if (path.size() >= kMaxDepth) file.Corrupted();
  for (const SharedStep& s : path)
    if (s.node->offset == offset) file.Corrupted();
  path.push_back(SharedStep{file.ReadSharedNode(offset, format), 0});
}

}  // namespace cdx
