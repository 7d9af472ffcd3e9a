#include "translation/translation_fixtures.h"

#include "core/published_properties.h"

namespace chronel::testing {

const TClassInfo& TListColumn::StaticClassInfo() {
  static const TClassInfo info("TListColumn", &TCollectionItem::StaticClassInfo(),
                               {Published("Caption", &TListColumn::Caption)});
  return info;
}

const TClassInfo& TWideTexts::StaticClassInfo() {
  static const TClassInfo info("TWideTexts", &TObject::StaticClassInfo(), {});
  return info;
}

TCaptioned::TCaptioned(TComponent* owner, std::string name, std::string caption)
    : TWinControl(owner), Caption(std::move(caption)) {
  SetName(name);
}

const TClassInfo& TCaptioned::StaticClassInfo() {
  static const TClassInfo info("TCaptioned", &TWinControl::StaticClassInfo(),
                               {
                                   Published("Caption", &TCaptioned::Caption),
                                   Published("Columns", &TCaptioned::Columns),
                                   Published("Captions", &TCaptioned::Captions),
                               });
  return info;
}

}  // namespace chronel::testing
