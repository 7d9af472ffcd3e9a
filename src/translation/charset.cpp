#include "translation/charset.h"

#include <array>

namespace chronel {
namespace {

struct TNamedCharset {
  std::string_view Name;
  TCharset Charset;
};

constexpr std::array<TNamedCharset, 15> kCharsets = {{
    {"windows-1250", {238, 1250}},
    {"windows-1251", {204, 1251}},
    {"windows-1252", {0, 1252}},
    {"windows-1253", {161, 1253}},
    {"windows-1254", {162, 1254}},
    {"windows-1255", {177, 1255}},
    {"windows-1256", {178, 1256}},
    {"windows-1257", {186, 1257}},
    {"windows-1258", {163, 1258}},
    {"windows-874", {222, 874}},
    {"shift-jis", {128, 932}},
    {"hangeul", {129, 949}},
    {"johab", {130, 1361}},
    {"gb2312", {134, 936}},
    {"chinesebig5", {136, 950}},
}};

}  // namespace

std::optional<TCharset> CharsetByName(std::string_view name) {
  for (const TNamedCharset& entry : kCharsets) {
    if (entry.Name == name) return entry.Charset;
  }
  return std::nullopt;
}

}  // namespace chronel
