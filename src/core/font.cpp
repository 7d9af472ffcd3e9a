#include "core/font.h"

#include "core/published_properties.h"

namespace chronel {

const TClassInfo& TFont::StaticClassInfo() {
  static const TClassInfo info("TFont", &TObject::StaticClassInfo(),
                               {
                                   Published("Charset", &TFont::charset_),
                                   Published("Height", &TFont::height_),
                                   Published("Name", &TFont::name_),
                               });
  return info;
}

void TFont::Assign(const TFont& source) { CopyPublishedProperties(source, *this); }

}  // namespace chronel
