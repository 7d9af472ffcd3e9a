#include "core/component_fixtures.h"

#include "core/published_properties.h"

namespace chronel::testing {

const TEnumInfo& ShapeInfo() {
  static const TEnumInfo info("TShape", {"shCircle", "shSquare", "shTriangle"});
  return info;
}

const TClassInfo& TColumn::StaticClassInfo() {
  static const TClassInfo info("TColumn", &TCollectionItem::StaticClassInfo(),
                               {
                                   Published("Caption", &TColumn::Caption),
                                   Published("Width", &TColumn::Width),
                               });
  return info;
}

TGadget::~TGadget() {
  if (DestroyLog != nullptr) DestroyLog->push_back(Name());
}

const TClassInfo& TGadget::StaticClassInfo() {
  static const TClassInfo info("TGadget", &TComponent::StaticClassInfo(),
                               {
                                   Published("Count", &TGadget::Count, &TGadget::SetCount),
                                   Published("Doubled", &TGadget::Doubled),
                                   Published("Level", &TGadget::Level),
                                   Published("Ratio", &TGadget::Ratio),
                                   Published("Active", &TGadget::Active),
                                   Published("Shape", &TGadget::Shape, ShapeInfo()),
                                   Published("Shapes", &TGadget::Shapes, ShapeInfo()),
                                   Published("Caption", &TGadget::Caption),
                                   Published("Lines", &TGadget::Lines),
                                   Published("Columns", &TGadget::Columns),
                                   Published("Font", &TGadget::Font),
                                   Published("Buddy", &TGadget::Buddy),
                                   Published("Value", &TGadget::Value),
                                   Published("OnChange", &TGadget::OnChange),
                                   Published("OnCount", &TGadget::OnCount),
                               },
                               {}, ComponentFactory<TGadget>);
  return info;
}

const TClassInfo& TPanel::StaticClassInfo() {
  static const TClassInfo info("TPanel", &TWinControl::StaticClassInfo(), {}, {},
                               ComponentFactory<TPanel>);
  return info;
}

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo info("TLabel", &TControl::StaticClassInfo(), {}, {},
                               ComponentFactory<TLabel>);
  return info;
}

const TClassInfo& TTestForm::StaticClassInfo() {
  static const TClassInfo info("TTestForm", &TForm::StaticClassInfo(), {},
                               {
                                   PublishedMethod("GadgetChange", &TTestForm::GadgetChange),
                                   PublishedMethod("GadgetCount", &TTestForm::GadgetCount),
                                   PublishedMethod("FormCreate", &TTestForm::FormCreate),
                               });
  return info;
}

void TTestForm::GadgetChange(TObject& sender) {
  Calls.push_back("GadgetChange(" + static_cast<TComponent&>(sender).Name() + ")");
}

void TTestForm::GadgetCount(TObject& sender, int& count) {
  Calls.push_back("GadgetCount(" + std::to_string(count) + ")");
  count += 1;
}

void TTestForm::FormCreate(TObject& sender) { Calls.push_back("FormCreate"); }

}  // namespace chronel::testing
