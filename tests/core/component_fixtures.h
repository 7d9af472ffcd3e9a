// Small component classes that publish one property of every kind, for the component model's
// tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/collection.h"
#include "core/component.h"
#include "core/component_ref.h"
#include "core/control.h"
#include "core/enumeration.h"
#include "core/event.h"
#include "core/font.h"
#include "core/form.h"
#include "core/string_list.h"
#include "core/variant.h"

namespace chronel::testing {

enum class TShape : uint8_t { Circle, Square, Triangle };
const TEnumInfo& ShapeInfo();

class TColumn : public TCollectionItem {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::string Caption;
  int32_t Width = 50;
};

// One published property of every kind.
class TGadget : public TComponent {
 public:
  explicit TGadget(TComponent* owner) : TComponent(owner) {}
  ~TGadget() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int32_t Count() const { return count_; }
  void SetCount(int32_t count) { count_ = count; }
  // Read-only: a getter without a setter.
  int32_t Doubled() const { return count_ * 2; }

  uint8_t Level = 0;
  double Ratio = 0;
  bool Active = false;
  TShape Shape = TShape::Circle;
  TSet<TShape> Shapes;
  std::string Caption;
  TStringList Lines;
  TCollection Columns = TCollection::Of<TColumn>();
  TFont Font;
  TComponentRef<TGadget> Buddy;
  TVariant Value;
  TNotifyEvent OnChange;
  TEvent<TObject&, int&> OnCount;

  // What Loaded saw, and where the destructor reports.
  std::string CaptionWhenLoaded;
  std::vector<std::string>* DestroyLog = nullptr;

 protected:
  void Loaded() override { CaptionWhenLoaded = Caption; }

 private:
  int32_t count_ = 0;
};

// A windowed container and a plain control, for placing components inside others.
class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner) : TWinControl(owner) {}
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner) : TControl(owner) {}
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// A form whose handlers record their calls.
class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner) : TForm(owner) {}
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void GadgetChange(TObject& sender);
  void GadgetCount(TObject& sender, int& count);
  void FormCreate(TObject& sender);

  std::vector<std::string> Calls;
};

}  // namespace chronel::testing
