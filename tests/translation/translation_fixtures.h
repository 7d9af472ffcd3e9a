// Component classes for the translator's tests: a windowed control with a caption, a list of
// columns and a list of wide texts that only a registered object translator reaches.
#pragma once

#include <string>
#include <vector>

#include "core/collection.h"
#include "core/control.h"
#include "core/object.h"

namespace chronel::testing {

class TListColumn : public TCollectionItem {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::string Caption;
};

// Texts the built-in rules do not know.
class TWideTexts : public TObject {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const TWideTexts& source) { Items = source.Items; }

  std::vector<std::string> Items;
};

class TCaptioned : public TWinControl {
 public:
  explicit TCaptioned(TComponent* owner, std::string name = {}, std::string caption = {});

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::string Caption;
  TCollection Columns = TCollection::Of<TListColumn>();
  TWideTexts Captions;
};

}  // namespace chronel::testing
