#include "xbase/cdx/tag_header.h"

#include <cstring>

#include "xbase/cdx/node_layout.h"

namespace cdx {

uint32_t XbCdxTagHeader::Root() const { return Get32(image.data()); }
uint32_t XbCdxTagHeader::ChangeCounter() const { return Get32(image.data() + 8); }
void XbCdxTagHeader::SetChangeCounter(uint32_t value) { Put32(image.data() + 8, value); }
int XbCdxTagHeader::KeyLength() const { return static_cast<int>(Get16(image.data() + 12)); }

std::string XbCdxTagHeader::Collation() const {
  std::string name(reinterpret_cast<const char*>(image.data() + 494), 8);
  while (!name.empty() && (name.back() == '\0' || name.back() == ' ')) name.pop_back();
  return name;
}

std::string XbCdxTagHeader::KeyExpression() const {
  const char* area = reinterpret_cast<const char*>(image.data() + 512);
  return std::string(area, strnlen(area, 512));
}

std::string XbCdxTagHeader::FilterExpression() const {
  if (!HasFilter()) return {};
  const char* area = reinterpret_cast<const char*>(image.data() + 512);
  size_t keyEnd = strnlen(area, 512);
  if (keyEnd + 1 >= 512) return {};
  return std::string(area + keyEnd + 1, strnlen(area + keyEnd + 1, 512 - keyEnd - 1));
}

bool XbCdxTagHeader::Valid(uint64_t fileSize) const {
  uint32_t root = Root();
  int keyLength = KeyLength();
  return root != 0 && root % kNodeSize == 0 && uint64_t{root} + kNodeSize <= fileSize && keyLength >= 1 &&
         keyLength <= kMaxKeyLength;
}

XbCdxTagHeader XbCdxTagHeader::ForTag(uint32_t root, int keyLength, bool unique, bool descending,
                                      const std::string& keyExpr, const std::string& filterExpr) {
  XbCdxTagHeader h;
  uint8_t* p = h.image.data();
  Put32(p, root);
  Put16(p + 12, static_cast<uint32_t>(keyLength));
  p[14] = static_cast<uint8_t>(kCompact | kCompound | (unique ? kUnique : 0) | (filterExpr.empty() ? 0 : kHasFilter));
  p[15] = 1;
  Put16(p + 502, descending ? 1 : 0);
  Put16(p + 504, keyExpr.empty() ? 0 : static_cast<uint32_t>(keyExpr.size() + 1));
  Put16(p + 506, static_cast<uint32_t>(filterExpr.size() + 1));
  Put16(p + 510, static_cast<uint32_t>(keyExpr.size() + 1));
  std::memcpy(p + 512, keyExpr.data(), keyExpr.size());
  std::memcpy(p + 512 + keyExpr.size() + 1, filterExpr.data(), filterExpr.size());
  return h;
}

XbCdxTagHeader XbCdxTagHeader::ForDirectory(uint32_t root) {
  XbCdxTagHeader h = ForTag(root, 10, false, false, std::string(), std::string());
  h.image[14] = kCompact | kCompound | kDirectory;
  return h;
}

}  // namespace cdx
