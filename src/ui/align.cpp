#include "ui/align.h"

namespace chronel {

const TEnumInfo& AlignInfo() {
  static const TEnumInfo info("TAlign",
                              {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
  return info;
}

}  // namespace chronel
